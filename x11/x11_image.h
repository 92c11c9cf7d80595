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
};

// Makes an image of the window's visual and depth; tries shared memory first unless
// `allowShared` is false. Returns false only when not even a plain image can be made.
bool CreateFrameImage(Display* display, Visual* visual, int depth, int width, int height,
                      bool allowShared, FrameImage& frame);
// Sends the whole image to the drawable and waits until the server has taken it (the shared
// image may be rewritten right afterwards).
void PutFrameImage(Display* display, Drawable drawable, GC gc, FrameImage& frame);
// Detaches and frees in the reverse order of creation.
void ReleaseFrameImage(Display* display, FrameImage& frame);
