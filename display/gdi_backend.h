// The GDI back-end of the GDI full-screen mode and the preview: the display switch, the bitmap
// header, the DIB section that the engine draws into, the paint, and their release.
#pragma once

#include <windows.h>

// Switches the display to 640 x 480 at its current depth, for this session only.
void SwitchDisplay();
// Allocates the bitmap header with its 256-entry colour table (all black).
void AllocateBitmapInfo();
// Makes the DIB section for `window` and selects it into a compatible memory device context; the
// engine's `framePixels` then points at the DIB's pixel memory.
void CreateDibSurface(HWND window);
// Copies the frame to the saver window: one to one in full screen, stretched in the preview.
void PaintFrame(HWND window);
// Paints the 640 x 480 frame held by `source` into `area` (left and top 0) of `dc`: stretched by
// nearest neighbour into the largest centred 4:3 rectangle, with black bars beside it.
void PaintFittedFrame(HDC dc, const RECT& area, HDC source);
// Puts the display back to its stored mode and gives it 100 ms to settle.
void RestoreDisplay();
// Frees the bitmap header, then the memory device context, then the DIB section.
void ReleaseGdiBackend();
// Frees only the bitmap header: the set-up gave up before any GDI object was made.
void FreeBitmapInfo();
