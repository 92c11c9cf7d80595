// From palette indices to the window's pixels: the colour table turned into pixel values of the
// window's TrueColor visual, and the 160 x 120 tile spread over a window of any size by
// nearest-neighbour sampling of the 640 x 480 frame it stands for.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/palette.h"

// Channel masks of a TrueColor visual.
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

// For each window column and row, the tile cell it shows: frame column x * 640 / width, then the
// tile column that frame column comes from (enlarged: / 4; tiled: % 160); rows likewise.
struct TileSampling {
  std::vector<std::uint16_t> tileColumn;  // one per window column
  std::vector<std::uint16_t> tileRow;     // one per window row
};
TileSampling MakeTileSampling(int width, int height, bool enlarged);

// Writes a width x height image, rows `stride` bytes apart, each pixel `bytesPerPixel` (2 or 4)
// bytes in the machine's order: the tile's cells are looked up once (19,200 lookups), then
// sampled per pixel, and a window row that shows the same tile row as the one above is copied.
void FillScaledImage(const std::uint8_t* tile, const std::uint32_t pixels[kPaletteSize],
                     const TileSampling& sampling, int bytesPerPixel, std::uint8_t* image,
                     long stride);
