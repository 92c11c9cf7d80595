// The window-sized picture the X11 saver draws into: an MIT-SHM image when the server shares
// memory with us, a plain XImage sent with XPutImage otherwise. Same verbs for both; the shared
// segment is marked for removal right after the server attached it, so that no exit (even a
// kill) leaves it behind.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

struct FrameImage {
  XImage* image = nullptr;
  XShmSegmentInfo shm{};
  bool shared = false;   // the image lives in a shared segment attached by the server
  bool pending = false;  // the server may still be reading the shared image
  int completionType = 0;
  int x = 0, y = 0;  // where the image goes in the drawable
};

// Makes an image of the window's visual and depth; tries shared memory first unless
// `allowShared` is false. Returns false only when not even a plain image can be made.
bool CreateFrameImage(Display* display, Visual* visual, int depth, int width, int height,
                      bool allowShared, FrameImage& frame);
// Queues the whole image for its place in the drawable, without waiting: the shared image is read
// by the server later, and its completion event says when. The caller flushes, once a frame after
// whatever else the frame asks of the server.
void PutFrameImage(Display* display, Drawable drawable, GC gc, FrameImage& frame);
// Returns once the server is done with the last image, so that it may be rewritten: at 20 frames a
// second the completion event is already there; otherwise one round trip makes sure.
void WaitForFrameImage(Display* display, FrameImage& frame);
// Detaches and frees in the reverse order of creation.
void ReleaseFrameImage(Display* display, FrameImage& frame);
