// Hands the palette to whichever back-end holds it: the DIB colour table in the GDI modes, the
// DirectDraw palette object attached to the primary surface in the DirectDraw mode. The colour
// rules themselves are the engine's (engine/palette.h).
#pragma once

// Builds the first palette and loads it into the DIB colour table, or creates the DirectDraw
// palette from it and attaches it to the primary surface.
void InstallFirstPalette();
// One palette step on the back-end's entries, as `pal` says.
void StepPalette();
