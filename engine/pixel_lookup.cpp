// The picture's place in the window and nearest-neighbour replication of the tile into it, each
// distinct row and span made once.
#include "engine/pixel_lookup.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
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

// A copy shorter than this costs more than making the pixels again.
constexpr int kShortestCopy = 8;

std::vector<RowSpan> MakeSpans(const std::vector<std::uint16_t>& columns) {
  std::vector<RowSpan> spans;
  int firstAt[kTileWidth];
  for (int& x : firstAt) x = -1;
  const int width = static_cast<int>(columns.size());
  for (int x = 0; x < width;) {
    const int column = columns[x];
    // The longest stretch from here that repeats one already made, ending before it begins.
    if (const int start = firstAt[column]; start >= 0) {
      int length = 0;
      while (x + length < width && start + length < x &&
             columns[start + length] == columns[x + length])
        ++length;
      if (length >= kShortestCopy) {
        spans.push_back({length, 0, start});
        x += length;
        continue;
      }
    }
    int length = 1;
    while (x + length < width && columns[x + length] == column) ++length;
    if (firstAt[column] < 0) firstAt[column] = x;
    spans.push_back({length, column, -1});
    x += length;
  }
  return spans;
}

// One row is made in a small buffer that stays in the cache, then copied whole into each picture
// row that shows it: the picture's memory (shared with the display server, which reads it on
// another processor) then only sees full-line copies, which are several times faster than pixel
// stores. Up to this many pixels of a run are written at once, whatever the run's length.
constexpr int kWideRun = 8;

template <typename Pixel>
void MakeRow(const std::uint8_t* source, const std::uint32_t* pixels,
             const std::vector<RowSpan>& spans, Pixel* row) {
  Pixel* out = row;
  for (const RowSpan& span : spans) {
    const auto value = static_cast<Pixel>(pixels[source[span.tileColumn]]);
    if (span.copyFrom >= 0) {
      std::memcpy(out, row + span.copyFrom, span.length * sizeof(Pixel));
    } else if (span.length <= kWideRun) {
      // One fixed-size store (a vector store once compiled) is quicker than a loop of a few
      // pixels; what it writes past the run is overwritten by the next span or lands in the
      // buffer's spare end.
      Pixel wide[kWideRun];
      std::fill_n(wide, kWideRun, value);
      std::memcpy(out, wide, sizeof wide);
    } else {
      std::fill_n(out, span.length, value);
    }
    out += span.length;
  }
}

// Copies a finished row into the picture with stores that bypass the cache: the server last read
// these lines on another processor, and an ordinary store would first fetch each line back from
// it. Unaligned ends are copied plainly.
void CopyIntoPicture(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
#if defined(__SSE2__)
  const std::size_t head = std::min(bytes, (16 - reinterpret_cast<std::uintptr_t>(to) % 16) % 16);
  std::memcpy(to, from, head);
  to += head;
  from += head;
  bytes -= head;
  for (; bytes >= 16; bytes -= 16, to += 16, from += 16)
    _mm_stream_si128(reinterpret_cast<__m128i*>(to),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
#endif
  std::memcpy(to, from, bytes);
}

// The tile itself (an X server scales it): one look-up a pixel, nothing to repeat.
template <typename Pixel>
void LookUpTile(const std::uint8_t* tile, const std::uint32_t* pixels, std::uint8_t* image,
                long stride) {
  for (int y = 0; y < kTileHeight; ++y) {
    auto* row = reinterpret_cast<Pixel*>(image + y * stride);
    const std::uint8_t* source = tile + y * kTileWidth;
    for (int x = 0; x < kTileWidth; ++x) row[x] = static_cast<Pixel>(pixels[source[x]]);
  }
}

template <typename Pixel>
void FillRows(const std::uint8_t* tile, const std::uint32_t* pixels, const TileSampling& sampling,
              std::uint8_t* image, long stride) {
  // Kept from frame to frame: a row's buffer is made once per picture width, not every frame.
  static std::vector<Pixel> made;
  made.resize(sampling.tileColumn.size() + kWideRun);
  const auto rowBytes = sampling.tileColumn.size() * sizeof(Pixel);
  int madeTileRow = -1;
  const int height = static_cast<int>(sampling.tileRow.size());
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image + y * stride;
    const int tileRow = sampling.tileRow[y];
    if (tileRow != madeTileRow && sampling.sameAsRow[y] >= 0) {
      CopyIntoPicture(row, image + sampling.sameAsRow[y] * stride, rowBytes);
      continue;
    }
    if (tileRow != madeTileRow) {
      MakeRow(tile + tileRow * kTileWidth, pixels, sampling.spans, made.data());
      madeTileRow = tileRow;
    }
    CopyIntoPicture(row, reinterpret_cast<const std::uint8_t*>(made.data()), rowBytes);
  }
#if defined(__SSE2__)
  _mm_sfence();  // the streamed rows are in memory before the server is asked to read them
#endif
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

PicturePlace PlacePicture(int windowWidth, int windowHeight, bool stretch) {
  if (stretch) return {0, 0, windowWidth, windowHeight};
  return FitFrame(windowWidth, windowHeight);
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
  int firstRowOf[kTileHeight];
  for (int& y : firstRowOf) y = -1;
  sampling.sameAsRow.resize(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const auto frameRow = static_cast<int>(static_cast<long long>(y) * kFrameHeight / height);
    const int tileRow = enlarged ? frameRow / 4 : frameRow % kTileHeight;
    sampling.tileRow[y] = static_cast<std::uint16_t>(tileRow);
    sampling.sameAsRow[y] = firstRowOf[tileRow];
    if (firstRowOf[tileRow] < 0) firstRowOf[tileRow] = y;
  }
  sampling.spans = MakeSpans(sampling.tileColumn);
  sampling.oneToOne = enlarged && width == kTileWidth && height == kTileHeight;
  return sampling;
}

void FillScaledImage(const std::uint8_t* tile, const std::uint32_t pixels[kPaletteSize],
                     const TileSampling& sampling, int bytesPerPixel, std::uint8_t* image,
                     long stride) {
  if (sampling.oneToOne && bytesPerPixel == 4)
    LookUpTile<std::uint32_t>(tile, pixels, image, stride);
  else if (sampling.oneToOne)
    LookUpTile<std::uint16_t>(tile, pixels, image, stride);
  else if (bytesPerPixel == 4)
    FillRows<std::uint32_t>(tile, pixels, sampling, image, stride);
  else
    FillRows<std::uint16_t>(tile, pixels, sampling, image, stride);
}
