// The engine's start and its frame step as every front-end runs them, so that the Windows saver,
// the X11 saver, the renderer, the browser page and the tools all show exactly the same frames for
// the same settings: the start as the saver's set-up makes it, the step as its 50 ms timer does.
#pragma once

#include "engine/palette.h"

// Starts a run for `saverSettings` as loaded: the first palette into `entries`, the base table for
// `cycle` and the wave table, then the colour speeds scaled to radians per step (exactly once a
// run: the scaling works in place). A back-end that keeps its colours in an object of its own
// builds and hands over the first palette itself just before, and passes no entries.
void StartEngine(PaletteEntries entries, EntryLayout layout = EntryLayoutRgbQuad);

// What a frame step composes: the whole 640 x 480 frame at `framePixels`, or only the 160 x 120
// tile in `ringTile`, for front-ends that scale the tile to their window themselves.
enum FrameOutput {
  FrameOutputWhole,
  FrameOutputTile,
};

// One frame: a palette step on `entries` unless the palette is fixed, then the composition.
void StepFrame(PaletteEntries entries, EntryLayout layout = EntryLayoutRgbQuad,
               FrameOutput output = FrameOutputWhole);

// Puts the animation (ring layers, phase, tile, palette phases) back to program start, for
// processes that make several runs; the next StartEngine then starts a run exactly as a new
// process would.
void ResetEngine();
