// The plain byte-by-byte tile sums and spread: the reference for any faster version.
#include <cstring>

#include "engine/compose.h"
#include "engine/ring_tables.h"
#include "engine/tile_sum.h"

namespace {

// Indices 0 and 255 are kept out of every frame.
inline std::uint8_t FixIndex(std::uint8_t sum) {
  if (sum == 0) return 1;
  if (sum == 255) return 254;
  return sum;
}

// The plain sums spread the finished tile afterwards.
void SpreadIfAsked(const std::uint8_t* tile, const SpreadTarget* spreadTo) {
  if (spreadTo) SpreadTileScalar(tile, spreadTo->enlarged, spreadTo->frame, spreadTo->pitch);
}

inline const std::uint8_t* Window(const RingTable& table, int x, int y) {
  return table.data() + y * kRingTableColumns + x;
}

}  // namespace

void SumTile4Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                    int waveY1, int waveX2, int waveY2, std::uint8_t phase,
                    const SpreadTarget* spreadTo) {
  for (int r = 0; r < kTileHeight; ++r) {
    const std::uint8_t* b = Window(baseTable, baseX, baseY + r);
    const std::uint8_t* w0 = Window(waveTable, waveX0, waveY0 + r);
    const std::uint8_t* w1 = Window(waveTable, waveX1, waveY1 + r);
    const std::uint8_t* w2 = Window(waveTable, waveX2, waveY2 + r);
    for (int c = 0; c < kTileWidth; ++c)
      tile[r * kTileWidth + c] =
          FixIndex(static_cast<std::uint8_t>(phase + b[c] + w0[c] + w1[c] + w2[c]));
  }
  SpreadIfAsked(tile, spreadTo);
}

void SumTile3Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                    int waveY1, std::uint8_t phase, const SpreadTarget* spreadTo) {
  for (int r = 0; r < kTileHeight; ++r) {
    const std::uint8_t* b = Window(baseTable, baseX, baseY + r);
    const std::uint8_t* w0 = Window(waveTable, waveX0, waveY0 + r);
    const std::uint8_t* w1 = Window(waveTable, waveX1, waveY1 + r);
    for (int c = 0; c < kTileWidth; ++c)
      tile[r * kTileWidth + c] = FixIndex(static_cast<std::uint8_t>(phase + b[c] + w0[c] + w1[c]));
  }
  SpreadIfAsked(tile, spreadTo);
}

void SumTile2Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0,
                    std::uint8_t phase, const SpreadTarget* spreadTo) {
  for (int r = 0; r < kTileHeight; ++r) {
    const std::uint8_t* b = Window(baseTable, baseX, baseY + r);
    const std::uint8_t* w0 = Window(waveTable, waveX0, waveY0 + r);
    for (int c = 0; c < kTileWidth; ++c)
      tile[r * kTileWidth + c] = FixIndex(static_cast<std::uint8_t>(phase + b[c] + w0[c]));
  }
  SpreadIfAsked(tile, spreadTo);
}

void SumTile1Scalar(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase,
                    const SpreadTarget* spreadTo) {
  for (int r = 0; r < kTileHeight; ++r) {
    const std::uint8_t* b = Window(baseTable, baseX, baseY + r);
    for (int c = 0; c < kTileWidth; ++c)
      tile[r * kTileWidth + c] = FixIndex(static_cast<std::uint8_t>(phase + b[c]));
  }
  SpreadIfAsked(tile, spreadTo);
}

void SpreadTileScalar(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame,
                      std::ptrdiff_t pitch) {
  for (int y = 0; y < kFrameHeight; ++y) {
    std::uint8_t* row = frame + y * pitch;
    if (enlarged) {
      const std::uint8_t* source = tile + (y / 4) * kTileWidth;
      for (int x = 0; x < kFrameWidth; ++x) row[x] = source[x / 4];
    } else {
      const std::uint8_t* source = tile + (y % kTileHeight) * kTileWidth;
      for (int n = 0; n < 4; ++n) std::memcpy(row + n * kTileWidth, source, kTileWidth);
    }
  }
}
