// From palette indices to a window's pixels: the colour table turned into pixel values of the
// window's pixel format (an X11 TrueColor visual, a Wayland shared-memory format), and the
// 160 x 120 tile spread over a picture of any size by nearest-neighbour sampling of the 640 x 480
// frame it stands for. The X11 and Wayland savers share it.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/frame_place.h"
#include "engine/palette.h"

// Channel masks of a pixel format with 8 bits or fewer per channel.
struct ChannelMasks {
  unsigned long red;
  unsigned long green;
  unsigned long blue;
};

// The pixel value of one colour byte triple: each byte scaled to its mask's width and shifted.
std::uint32_t PixelFromRgb(const ChannelMasks& masks, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue);

// Pixel values of all 256 entries (RGBQUAD layout).
void BuildPixelTable(const ChannelMasks& masks, const PaletteEntries entries,
                     std::uint32_t pixels[kPaletteSize]);

// Where the picture goes in a window: the largest rectangle of the frame's 4:3 shape that fits,
// centred, so that rings stay round (the rest of the window is black); or, stretched, the whole
// window.
using PicturePlace = FramePlace;
PicturePlace PlacePicture(int windowWidth, int windowHeight, bool stretch);

// A stretch of a picture row: `length` pixels that either all show one tile column, or repeat the
// pixels that start at column `copyFrom` of the same row (tiled pictures repeat themselves).
struct RowSpan {
  int length;
  int tileColumn;
  int copyFrom;  // -1: a run of one cell
};

// For each picture column and row, the tile cell it shows: frame column x * 640 / width, then the
// tile column that frame column comes from (enlarged: / 4; tiled: % 160); rows likewise. The spans
// and row copies say how to make the picture with as little work per pixel as possible.
struct TileSampling {
  std::vector<std::uint16_t> tileColumn;  // one per picture column
  std::vector<std::uint16_t> tileRow;     // one per picture row
  std::vector<RowSpan> spans;             // one row, left to right
  std::vector<int> sameAsRow;             // an earlier row showing the same tile row, or -1
  bool oneToOne = false;                  // the picture is the tile itself
};
TileSampling MakeTileSampling(int width, int height, bool enlarged);

// Writes a width x height picture, rows `stride` bytes apart, each pixel `bytesPerPixel` (2 or 4)
// bytes in the machine's order: each distinct row is made once from its tile row, span by span,
// and copied to the other rows that show the same tile row.
void FillScaledImage(const std::uint8_t* tile, const std::uint32_t pixels[kPaletteSize],
                     const TileSampling& sampling, int bytesPerPixel, std::uint8_t* image,
                     long stride);
