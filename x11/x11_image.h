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
  bool shared = false;  // the image lives in a shared segment attached by the server
  int pending = 0;      // puts of the shared image whose completion has not been seen
  int completionType = 0;
};

// Makes an image of the window's visual and depth; tries shared memory first unless
// `allowShared` is false. Returns false only when not even a plain image can be made.
bool CreateFrameImage(Display* display, Visual* visual, int depth, int width, int height,
                      bool allowShared, FrameImage& frame);
// Queues the whole image for (x, y) in the drawable, without waiting: the shared image is read by
// the server later, and its completion event says when. The caller flushes, once a frame after
// whatever else the frame asks of the server (the same image may go to several places).
void PutFrameImage(Display* display, Drawable drawable, GC gc, FrameImage& frame, int x, int y);
// Returns once the server is done with the image's last puts, so that it may be rewritten: at 20
// frames a second their completion events are already there; otherwise one round trip makes sure.
void WaitForFrameImage(Display* display, FrameImage& frame);
// Detaches and frees in the reverse order of creation.
void ReleaseFrameImage(Display* display, FrameImage& frame);
