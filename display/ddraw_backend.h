// The DirectDraw back-end of the DirectDraw mode: exclusive 640 x 480 x 8 with a flipping chain
// (primary surface and one back buffer) and an offscreen surface that the frames are composed
// into, and their release.
#pragma once

#include <windows.h>

// The six set-up steps in order. On the first failure it releases what was made, restores the
// display mode and returns false; the window stays.
bool SetUpDirectDraw(HWND window);
// Releases the surfaces, the palette, the display mode and the DirectDraw object, in that order.
// Does nothing outside the DirectDraw mode or when there is no DirectDraw object.
void ReleaseDirectDraw();
