// The picture that the covering windows of the other monitors show. The GDI modes show their own
// DIB section. The DirectDraw mode's frame lives in a surface that GDI cannot copy from, so there
// the covers show a copy of it: the last composed frame, read back from the offscreen surface, with
// the palette's colours as they are at that moment, in a top-down DIB section of its own.
#pragma once

#include <windows.h>

// DirectDraw mode: makes the copy (all black until the first refresh). The GDI modes need none.
void CreateCoverFrame();
// DirectDraw mode: copies the offscreen surface's frame and the palette's entries into the copy. A
// surface that cannot be locked now leaves the copy as it was.
void RefreshCoverFrame();
// The memory device context that holds the frame for the covers; null when there is none.
HDC CoverFrameDc();
// Deletes the copy's device context and DIB section (nothing in the GDI modes).
void ReleaseCoverFrame();
