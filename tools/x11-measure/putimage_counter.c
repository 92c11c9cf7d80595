/* A preloaded counter of the images an X11 program sends (XPutImage and XShmPutImage), for the
 * CPU comparison script: the calls, and the pixels they cover, so that a program that sends each
 * frame in several bands still counts one frame per window area. The counts live in a shared file
 * mapping named by GLIMRA_PUTIMAGE_COUNT (two unsigned 64-bit numbers: calls, pixels), readable
 * while the program runs and kept when it is killed; no system call per frame. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

static volatile uint64_t* counter;

static void Count(unsigned width, unsigned height) {
  if (counter == NULL) {
    const char* path = getenv("GLIMRA_PUTIMAGE_COUNT");
    int fd = path ? open(path, O_RDWR | O_CREAT, 0644) : -1;
    if (fd < 0 || ftruncate(fd, 2 * sizeof(uint64_t)) != 0) return;
    void* map = mmap(NULL, 2 * sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (map == MAP_FAILED) return;
    counter = map;
  }
  __atomic_add_fetch(&counter[0], 1, __ATOMIC_RELAXED);
  __atomic_add_fetch(&counter[1], (uint64_t)width * height, __ATOMIC_RELAXED);
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int srcX, int srcY,
              int dstX, int dstY, unsigned width, unsigned height) {
  static int (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XPutImage");
  Count(width, height);
  return real(display, drawable, gc, image, srcX, srcY, dstX, dstY, width, height);
}

Bool XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int srcX, int srcY,
                  int dstX, int dstY, unsigned width, unsigned height, Bool sendEvent) {
  static Bool (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned,
                      Bool);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XShmPutImage");
  Count(width, height);
  return real(display, drawable, gc, image, srcX, srcY, dstX, dstY, width, height, sendEvent);
}
