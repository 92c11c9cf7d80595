/* A preloaded counter of the pictures an X11 program shows (XPutImage and XShmPutImage into a
 * window, copies from a pixmap into one, and Render's scaled copies), for the CPU comparison
 * script: the calls, and the pixels they cover, so that a program that sends each frame in several
 * bands still counts one frame per window area. An image put into a pixmap is counted when it is
 * copied to the window. The counts live in a shared file mapping named by GLIMRA_PUTIMAGE_COUNT
 * (three unsigned 64-bit numbers: calls, pixels, and how many of the calls were Render's scaled
 * copies, which tells the tests that the server did the scaling), readable while the program runs
 * and kept when it is killed; no system call per frame. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrender.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

static volatile uint64_t* counter;

enum { kCalls, kPixels, kScaledCopies, kCounts };

static void Count(unsigned width, unsigned height, int scaled) {
  if (counter == NULL) {
    const char* path = getenv("GLIMRA_PUTIMAGE_COUNT");
    int fd = path ? open(path, O_RDWR | O_CREAT, 0644) : -1;
    if (fd < 0 || ftruncate(fd, kCounts * sizeof(uint64_t)) != 0) return;
    void* map = mmap(NULL, kCounts * sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (map == MAP_FAILED) return;
    counter = map;
  }
  __atomic_add_fetch(&counter[kCalls], 1, __ATOMIC_RELAXED);
  __atomic_add_fetch(&counter[kPixels], (uint64_t)width * height, __ATOMIC_RELAXED);
  if (scaled) __atomic_add_fetch(&counter[kScaledCopies], 1, __ATOMIC_RELAXED);
}

/* The program's last few pixmaps: images put into them are not yet shown. */
static Pixmap pixmaps[16];
static unsigned pixmapCount;

static int IsPixmap(Drawable drawable) {
  for (unsigned i = 0; i < pixmapCount && i < 16; ++i)
    if (pixmaps[i] == drawable) return 1;
  return 0;
}

Pixmap XCreatePixmap(Display* display, Drawable drawable, unsigned width, unsigned height,
                     unsigned depth) {
  static Pixmap (*real)(Display*, Drawable, unsigned, unsigned, unsigned);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XCreatePixmap");
  const Pixmap pixmap = real(display, drawable, width, height, depth);
  pixmaps[pixmapCount++ % 16] = pixmap;
  return pixmap;
}

void XRenderComposite(Display* display, int op, Picture source, Picture mask, Picture target,
                      int srcX, int srcY, int maskX, int maskY, int dstX, int dstY, unsigned width,
                      unsigned height) {
  static void (*real)(Display*, int, Picture, Picture, Picture, int, int, int, int, int, int,
                      unsigned, unsigned);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XRenderComposite");
  Count(width, height, 1);
  real(display, op, source, mask, target, srcX, srcY, maskX, maskY, dstX, dstY, width, height);
}

int XCopyArea(Display* display, Drawable source, Drawable target, GC gc, int srcX, int srcY,
              unsigned width, unsigned height, int dstX, int dstY) {
  static int (*real)(Display*, Drawable, Drawable, GC, int, int, unsigned, unsigned, int, int);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XCopyArea");
  if (IsPixmap(source) && !IsPixmap(target)) Count(width, height, 0);
  return real(display, source, target, gc, srcX, srcY, width, height, dstX, dstY);
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int srcX, int srcY,
              int dstX, int dstY, unsigned width, unsigned height) {
  static int (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XPutImage");
  if (!IsPixmap(drawable)) Count(width, height, 0);
  return real(display, drawable, gc, image, srcX, srcY, dstX, dstY, width, height);
}

Bool XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int srcX, int srcY,
                  int dstX, int dstY, unsigned width, unsigned height, Bool sendEvent) {
  static Bool (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned,
                      Bool);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XShmPutImage");
  if (!IsPixmap(drawable)) Count(width, height, 0);
  return real(display, drawable, gc, image, srcX, srcY, dstX, dstY, width, height, sendEvent);
}
