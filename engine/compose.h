// Frame composition: up to four windows moving over the ring tables are summed, byte by byte and
// modulo 256, with a growing phase into a 160 x 120 tile, which is then enlarged four times or
// repeated four by four into the 640 x 480 frame of palette indices at `framePixels`.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
constexpr int kFrameBytes = kFrameWidth * kFrameHeight;
constexpr int kTileWidth = 160;
constexpr int kTileHeight = 120;
constexpr int kRingLayerCount = 4;

// One moving window over a ring table: its two path angles and the origin they give.
struct RingLayer {
  float u = 0.0f;
  float v = 0.0f;
  std::int32_t x = 0;  // column of the window's left edge in the table
  std::int32_t y = 0;  // row of the window's top edge in the table
};

// The frame memory belongs to the display back-end; the engine only writes through this pointer.
extern std::uint8_t* framePixels;
// Bytes from one frame row to the next. 640 everywhere except a DirectDraw surface that reports a
// wider pitch, where each row starts at its reported place.
extern std::ptrdiff_t framePitch;

extern RingLayer ringLayers[kRingLayerCount];
extern std::uint32_t ringPhase;
extern std::uint8_t ringTile[kTileHeight * kTileWidth];

// Advances the active layers and the phase, recomposes the tile and spreads it over the frame,
// as the `cir` and `one` settings say.
void ComposeFrame();

// ComposeFrame without the spreading: the layers, the phase and `ringTile` only. For front-ends
// that scale the tile to their window themselves and never need the 640 x 480 frame.
void ComposeTile();

// Moves one layer by one frame along its path (angles, then origin). Exposed for long-run checks.
void AdvanceRingLayer(int layer);

// Puts composition state back to program start (tests and tools that make several runs).
void ResetComposition();

// The angles are floats and are never reduced while they are small, so that the motion is exactly
// the documented one; past this magnitude the float spacing would swallow the increments.
constexpr float kAngleReductionThreshold = 8192.0f;
