// The display back-ends' objects as one process-wide record: the GDI frame (bitmap header with its
// colour table, DIB section, memory device context) or the DirectDraw objects, whichever the run
// mode uses. Every field is null at program start; only the back-end in use sets its fields.
#pragma once

#include <windows.h>
// windows.h first: the DirectDraw header builds on its types.
#include <ddraw.h>

struct DisplayResources {
  BITMAPINFO* bitmapInfo;  // header (40 bytes) and 256 colour entries, in global memory
  RGBQUAD* colorTable;     // the 256 entries inside bitmapInfo, from its byte 40 on
  HBITMAP dibSection;
  HDC memoryDc;
  LPDIRECTDRAW directDraw;
  LPDIRECTDRAWSURFACE primarySurface;
  LPDIRECTDRAWSURFACE backBuffer;
  LPDIRECTDRAWSURFACE offscreenSurface;
  LPDIRECTDRAWPALETTE palette;
};

extern DisplayResources displayResources;

constexpr int kDisplayWidth = 640;
constexpr int kDisplayHeight = 480;
constexpr int kDisplayBitsPerPixel = 8;
