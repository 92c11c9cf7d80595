// Palette lookup at tile resolution and nearest-neighbour replication into the window's image.
#include "x11/pixel_lookup.h"

#include <cstring>

#include "engine/compose.h"

namespace {

// One channel byte in a mask of any width: 255 fills the mask, 0 leaves it empty, and an 8-bit
// mask takes the byte unchanged.
std::uint32_t ScaleIntoMask(std::uint8_t value, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const unsigned long top = mask >> shift;
  return static_cast<std::uint32_t>(((value * top + 127) / 255) << shift);
}

template <typename Pixel>
void FillRows(const std::uint32_t* cells, const TileSampling& sampling, std::uint8_t* image,
              long stride) {
  const int width = static_cast<int>(sampling.tileColumn.size());
  const int height = static_cast<int>(sampling.tileRow.size());
  const std::uint16_t* columns = sampling.tileColumn.data();
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image + y * stride;
    if (y > 0 && sampling.tileRow[y] == sampling.tileRow[y - 1]) {
      std::memcpy(row, row - stride, static_cast<std::size_t>(width) * sizeof(Pixel));
      continue;
    }
    const std::uint32_t* source = cells + sampling.tileRow[y] * kTileWidth;
    Pixel* out = reinterpret_cast<Pixel*>(row);
    for (int x = 0; x < width; ++x) out[x] = static_cast<Pixel>(source[columns[x]]);
  }
}

}  // namespace

std::uint32_t PixelFromRgb(const ChannelMasks& masks, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue) {
  return ScaleIntoMask(red, masks.red) | ScaleIntoMask(green, masks.green) |
         ScaleIntoMask(blue, masks.blue);
}

void BuildPixelTable(const ChannelMasks& masks, const PaletteEntries entries,
                     std::uint32_t pixels[kPaletteSize]) {
  for (int i = 0; i < kPaletteSize; ++i)
    pixels[i] = PixelFromRgb(masks, entries[i][2], entries[i][1], entries[i][0]);
}

TileSampling MakeTileSampling(int width, int height, bool enlarged) {
  TileSampling sampling;
  sampling.tileColumn.resize(static_cast<std::size_t>(width));
  sampling.tileRow.resize(static_cast<std::size_t>(height));
  // 64-bit products: a window can be wider than 2^31 / 640 pixels only in theory, but cheaply so.
  for (int x = 0; x < width; ++x) {
    const auto frameColumn = static_cast<int>(static_cast<long long>(x) * kFrameWidth / width);
    sampling.tileColumn[x] =
        static_cast<std::uint16_t>(enlarged ? frameColumn / 4 : frameColumn % kTileWidth);
  }
  for (int y = 0; y < height; ++y) {
    const auto frameRow = static_cast<int>(static_cast<long long>(y) * kFrameHeight / height);
    sampling.tileRow[y] =
        static_cast<std::uint16_t>(enlarged ? frameRow / 4 : frameRow % kTileHeight);
  }
  return sampling;
}

void FillScaledImage(const std::uint8_t* tile, const std::uint32_t pixels[kPaletteSize],
                     const TileSampling& sampling, int bytesPerPixel, std::uint8_t* image,
                     long stride) {
  // The palette lookup at tile resolution: 19,200 cells instead of one per window pixel.
  static std::uint32_t cells[kTileWidth * kTileHeight];
  for (int i = 0; i < kTileWidth * kTileHeight; ++i) cells[i] = pixels[tile[i]];
  if (bytesPerPixel == 4)
    FillRows<std::uint32_t>(cells, sampling, image, stride);
  else
    FillRows<std::uint16_t>(cells, sampling, image, stride);
}
