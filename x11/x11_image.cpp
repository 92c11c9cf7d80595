// MIT-SHM and plain XImage back-ends of the X11 saver.
#include "x11/x11_image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

namespace {

// X errors are reported asynchronously; while the server attaches the segment, one is caught
// here instead of ending the program (a remote server cannot attach our memory).
bool attachFailed = false;
int CatchAttachError(Display*, XErrorEvent*) {
  attachFailed = true;
  return 0;
}

bool CreateSharedImage(Display* display, Visual* visual, int depth, int width, int height,
                       FrameImage& frame) {
  if (!XShmQueryExtension(display)) return false;
  frame.image =
      XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &frame.shm, width, height);
  if (frame.image == nullptr) return false;
  const auto bytes = static_cast<size_t>(frame.image->bytes_per_line) * height;
  frame.shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (frame.shm.shmid >= 0) {
    frame.shm.shmaddr = static_cast<char*>(shmat(frame.shm.shmid, nullptr, 0));
    frame.shm.readOnly = False;
    if (frame.shm.shmaddr != reinterpret_cast<char*>(-1)) {
      frame.image->data = frame.shm.shmaddr;
      XSync(display, False);
      attachFailed = false;
      XErrorHandler previous = XSetErrorHandler(CatchAttachError);
      const Bool sent = XShmAttach(display, &frame.shm);
      XSync(display, False);
      XSetErrorHandler(previous);
      // From here the segment lives only as long as someone has it attached.
      shmctl(frame.shm.shmid, IPC_RMID, nullptr);
      if (sent && !attachFailed) {
        frame.shared = true;
        frame.completionType = XShmGetEventBase(display) + ShmCompletion;
        return true;
      }
      shmdt(frame.shm.shmaddr);
    } else {
      shmctl(frame.shm.shmid, IPC_RMID, nullptr);
    }
  }
  frame.image->data = nullptr;
  XDestroyImage(frame.image);
  frame.image = nullptr;
  return false;
}

bool CreatePlainImage(Display* display, Visual* visual, int depth, int width, int height,
                      FrameImage& frame) {
  frame.image = XCreateImage(display, visual, depth, ZPixmap, 0, nullptr, width, height, 32, 0);
  if (frame.image == nullptr) return false;
  frame.image->data =
      static_cast<char*>(std::malloc(static_cast<size_t>(frame.image->bytes_per_line) * height));
  if (frame.image->data == nullptr) {
    XDestroyImage(frame.image);
    frame.image = nullptr;
    return false;
  }
  // The pixels are written in this machine's order; Xlib swaps them for a server that differs.
  const int one = 1;
  frame.image->byte_order = *reinterpret_cast<const char*>(&one) ? LSBFirst : MSBFirst;
  return true;
}

}  // namespace

bool CreateFrameImage(Display* display, Visual* visual, int depth, int width, int height,
                      bool allowShared, FrameImage& frame) {
  frame = FrameImage{};
  if (allowShared && CreateSharedImage(display, visual, depth, width, height, frame)) return true;
  return CreatePlainImage(display, visual, depth, width, height, frame);
}

void PutFrameImage(Display* display, Drawable drawable, GC gc, FrameImage& frame, int x, int y) {
  XImage* image = frame.image;
  if (frame.shared) {
    XShmPutImage(display, drawable, gc, image, 0, 0, x, y, image->width, image->height, True);
    ++frame.pending;
  } else {
    // Xlib copies the pixels into the request, so the image is free again at once.
    XPutImage(display, drawable, gc, image, 0, 0, x, y, image->width, image->height);
  }
}

void WaitForFrameImage(Display* display, FrameImage& frame) {
  // Only this image's completions: each of the other images waits for its own.
  auto ofThisImage = [](Display*, XEvent* event, XPointer arg) -> Bool {
    const auto* image = reinterpret_cast<const FrameImage*>(arg);
    return event->type == image->completionType &&
           reinterpret_cast<XShmCompletionEvent*>(event)->shmseg == image->shm.shmseg;
  };
  const auto arg = reinterpret_cast<XPointer>(&frame);
  XEvent event;
  while (frame.pending > 0 && XCheckIfEvent(display, &event, ofThisImage, arg)) --frame.pending;
  if (frame.pending == 0) return;
  // A failed put (the window is gone) sends an error instead of the event; after a round trip
  // the server has finished with every request either way.
  XSync(display, False);
  while (XCheckIfEvent(display, &event, ofThisImage, arg)) {
  }
  frame.pending = 0;
}

void ReleaseFrameImage(Display* display, FrameImage& frame) {
  if (frame.image == nullptr) return;
  if (frame.shared) {
    XShmDetach(display, &frame.shm);
    XSync(display, False);
    shmdt(frame.shm.shmaddr);
    frame.image->data = nullptr;
  }
  XDestroyImage(frame.image);  // frees the plain image's pixels too
  frame = FrameImage{};
}
