// The tile sums and the spread with SSE2: sixteen cells per instruction, the same bytes as the
// plain versions. Built wherever the compiler targets SSE2 (x86-64, and the 32-bit build's -msse2).
// Table windows start at any column, so every load from a table is an unaligned load.
#include "engine/tile_sum.h"

#if GLIMRA_TILE_SUM_SSE2

#include <emmintrin.h>

#include "engine/compose.h"
#include "engine/ring_tables.h"

namespace {

constexpr int kVectorsPerTileRow = kTileWidth / 16;  // 160 = 10 x 16: no partial vector
static_assert(kTileWidth % 16 == 0, "a tile row is a whole number of vectors");

inline __m128i Load(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(std::uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

inline const std::uint8_t* Window(const RingTable& table, int x, int y) {
  return table.data() + y * kRingTableColumns + x;
}

// Indices 0 and 255 are kept out of every frame: 0 becomes 1 and 255 becomes 254. On unsigned
// bytes that is exactly a clamp to 1..254, two instructions instead of compares and selects.
inline __m128i FixIndices(__m128i sum) {
  return _mm_min_epu8(_mm_max_epu8(sum, _mm_set1_epi8(1)), _mm_set1_epi8(static_cast<char>(254)));
}

// One tile of `Rings` windows: the first over the base table, the rest over the wave table.
// _mm_add_epi8 wraps modulo 256 like the 8-bit sum of the plain version.
template <int Rings>
void SumTile(std::uint8_t* tile, const int (&x)[Rings], const int (&y)[Rings], std::uint8_t phase) {
  const __m128i phaseVector = _mm_set1_epi8(static_cast<char>(phase));
  for (int r = 0; r < kTileHeight; ++r) {
    const std::uint8_t* rows[Rings];
    rows[0] = Window(baseTable, x[0], y[0] + r);
    for (int k = 1; k < Rings; ++k) rows[k] = Window(waveTable, x[k], y[k] + r);
    std::uint8_t* out = tile + r * kTileWidth;
    for (int c = 0; c < kTileWidth; c += 16) {
      __m128i sum = _mm_add_epi8(phaseVector, Load(rows[0] + c));
      for (int k = 1; k < Rings; ++k) sum = _mm_add_epi8(sum, Load(rows[k] + c));
      Store(out + c, FixIndices(sum));
    }
  }
}

// Enlarged: each tile byte becomes four (two unpacks), and each widened row goes to four frame
// rows, so a tile row is read once for 2,560 frame bytes.
void SpreadEnlarged(const std::uint8_t* tile, std::uint8_t* frame, std::ptrdiff_t pitch) {
  for (int r = 0; r < kTileHeight; ++r) {
    const std::uint8_t* source = tile + r * kTileWidth;
    std::uint8_t* row0 = frame + 4 * r * pitch;
    std::uint8_t* row1 = row0 + pitch;
    std::uint8_t* row2 = row1 + pitch;
    std::uint8_t* row3 = row2 + pitch;
    for (int i = 0; i < kVectorsPerTileRow; ++i) {
      const __m128i cells = Load(source + 16 * i);
      const __m128i twiceLow = _mm_unpacklo_epi8(cells, cells);   // cells 0..7, each twice
      const __m128i twiceHigh = _mm_unpackhi_epi8(cells, cells);  // cells 8..15, each twice
      const __m128i quad[4] = {
          _mm_unpacklo_epi16(twiceLow, twiceLow), _mm_unpackhi_epi16(twiceLow, twiceLow),
          _mm_unpacklo_epi16(twiceHigh, twiceHigh), _mm_unpackhi_epi16(twiceHigh, twiceHigh)};
      const int at = 64 * i;
      for (int q = 0; q < 4; ++q) {
        Store(row0 + at + 16 * q, quad[q]);
        Store(row1 + at + 16 * q, quad[q]);
        Store(row2 + at + 16 * q, quad[q]);
        Store(row3 + at + 16 * q, quad[q]);
      }
    }
  }
}

// Tiled: tile row r is frame rows r, r + 120, r + 240 and r + 360, four copies across each.
void SpreadTiled(const std::uint8_t* tile, std::uint8_t* frame, std::ptrdiff_t pitch) {
  const std::ptrdiff_t band = kTileHeight * pitch;
  for (int r = 0; r < kTileHeight; ++r) {
    const std::uint8_t* source = tile + r * kTileWidth;
    std::uint8_t* row = frame + r * pitch;
    for (int i = 0; i < kVectorsPerTileRow; ++i) {
      const __m128i cells = Load(source + 16 * i);
      for (int m = 0; m < 4; ++m) {
        std::uint8_t* out = row + m * band + 16 * i;
        for (int n = 0; n < 4; ++n) Store(out + n * kTileWidth, cells);
      }
    }
  }
}

}  // namespace

void SumTile4Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                  int waveY1, int waveX2, int waveY2, std::uint8_t phase) {
  SumTile<4>(tile, {baseX, waveX0, waveX1, waveX2}, {baseY, waveY0, waveY1, waveY2}, phase);
}

void SumTile3Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                  int waveY1, std::uint8_t phase) {
  SumTile<3>(tile, {baseX, waveX0, waveX1}, {baseY, waveY0, waveY1}, phase);
}

void SumTile2Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0,
                  std::uint8_t phase) {
  SumTile<2>(tile, {baseX, waveX0}, {baseY, waveY0}, phase);
}

void SumTile1Sse2(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase) {
  SumTile<1>(tile, {baseX}, {baseY}, phase);
}

void SpreadTileSse2(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame,
                    std::ptrdiff_t pitch) {
  if (enlarged)
    SpreadEnlarged(tile, frame, pitch);
  else
    SpreadTiled(tile, frame, pitch);
}

#endif  // GLIMRA_TILE_SUM_SSE2
