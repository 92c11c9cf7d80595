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

// Writes a finished 640-byte frame row again at `to`, front to back. Frame rows written whole and
// in order keep the stores sequential, which the caches take best; the source is still in the
// first-level cache. (A library copy was slower here: its wider loads cannot take their data from
// the sixteen-byte stores still in flight.)
inline void RepeatRow(std::uint8_t* to, const std::uint8_t* from) {
  for (int c = 0; c < kFrameWidth; c += 16) Store(to + c, Load(from + c));
}

// Enlarged: tile row r gives frame rows 4 r .. 4 r + 3. The first is built from the tile (each
// cell widened to four bytes by two unpacks), the other three repeat it.
void SpreadEnlargedRow(const std::uint8_t* source, int r, std::uint8_t* frame,
                       std::ptrdiff_t pitch) {
  std::uint8_t* first = frame + 4 * r * pitch;
  for (int i = 0; i < kVectorsPerTileRow; ++i) {
    const __m128i cells = Load(source + 16 * i);
    const __m128i twiceLow = _mm_unpacklo_epi8(cells, cells);   // cells 0..7, each twice
    const __m128i twiceHigh = _mm_unpackhi_epi8(cells, cells);  // cells 8..15, each twice
    std::uint8_t* out = first + 64 * i;
    Store(out, _mm_unpacklo_epi16(twiceLow, twiceLow));
    Store(out + 16, _mm_unpackhi_epi16(twiceLow, twiceLow));
    Store(out + 32, _mm_unpacklo_epi16(twiceHigh, twiceHigh));
    Store(out + 48, _mm_unpackhi_epi16(twiceHigh, twiceHigh));
  }
  for (int down = 1; down < 4; ++down) RepeatRow(first + down * pitch, first);
}

// Tiled: tile row r gives frame rows r, r + 120, r + 240 and r + 360. The first is four copies of
// the tile row side by side, the other three repeat it.
void SpreadTiledRow(const std::uint8_t* source, int r, std::uint8_t* frame, std::ptrdiff_t pitch) {
  std::uint8_t* first = frame + r * pitch;
  for (int i = 0; i < kVectorsPerTileRow; ++i) {
    const __m128i cells = Load(source + 16 * i);
    for (int n = 0; n < 4; ++n) Store(first + n * kTileWidth + 16 * i, cells);
  }
  const std::ptrdiff_t band = kTileHeight * pitch;
  for (int m = 1; m < 4; ++m) RepeatRow(first + m * band, first);
}

// What a sum does with each finished tile row besides keeping it in the tile.
enum class Spread { None, Enlarged, Tiled };

// One tile of `Rings` windows: the first over the base table, the rest over the wave table.
// _mm_add_epi8 wraps modulo 256 like the 8-bit sum of the plain version. With a spread target each
// finished tile row also goes straight to the frame, while it is still in the first-level cache.
template <int Rings, Spread How>
void SumTileLoop(std::uint8_t* tile, const int (&x)[Rings], const int (&y)[Rings],
                 std::uint8_t phase, const SpreadTarget* spreadTo) {
  const __m128i phaseVector = _mm_set1_epi8(static_cast<char>(phase));
  for (int r = 0; r < kTileHeight; ++r) {
    const std::uint8_t* rows[Rings];
    rows[0] = Window(baseTable, x[0], y[0] + r);
    for (int k = 1; k < Rings; ++k) rows[k] = Window(waveTable, x[k], y[k] + r);
    std::uint8_t* out = tile + r * kTileWidth;
    for (int i = 0; i < kVectorsPerTileRow; ++i) {
      __m128i sum = _mm_add_epi8(phaseVector, Load(rows[0] + 16 * i));
      for (int k = 1; k < Rings; ++k) sum = _mm_add_epi8(sum, Load(rows[k] + 16 * i));
      Store(out + 16 * i, FixIndices(sum));
    }
    if (How == Spread::Enlarged) SpreadEnlargedRow(out, r, spreadTo->frame, spreadTo->pitch);
    if (How == Spread::Tiled) SpreadTiledRow(out, r, spreadTo->frame, spreadTo->pitch);
  }
}

// Picks the loop for the spread target once, outside the loops.
template <int Rings>
void SumTile(std::uint8_t* tile, const int (&x)[Rings], const int (&y)[Rings], std::uint8_t phase,
             const SpreadTarget* spreadTo) {
  if (!spreadTo)
    SumTileLoop<Rings, Spread::None>(tile, x, y, phase, spreadTo);
  else if (spreadTo->enlarged)
    SumTileLoop<Rings, Spread::Enlarged>(tile, x, y, phase, spreadTo);
  else
    SumTileLoop<Rings, Spread::Tiled>(tile, x, y, phase, spreadTo);
}

}  // namespace

void SumTile4Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                  int waveY1, int waveX2, int waveY2, std::uint8_t phase,
                  const SpreadTarget* spreadTo) {
  SumTile<4>(tile, {baseX, waveX0, waveX1, waveX2}, {baseY, waveY0, waveY1, waveY2}, phase,
             spreadTo);
}

void SumTile3Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                  int waveY1, std::uint8_t phase, const SpreadTarget* spreadTo) {
  SumTile<3>(tile, {baseX, waveX0, waveX1}, {baseY, waveY0, waveY1}, phase, spreadTo);
}

void SumTile2Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0,
                  std::uint8_t phase, const SpreadTarget* spreadTo) {
  SumTile<2>(tile, {baseX, waveX0}, {baseY, waveY0}, phase, spreadTo);
}

void SumTile1Sse2(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase,
                  const SpreadTarget* spreadTo) {
  SumTile<1>(tile, {baseX}, {baseY}, phase, spreadTo);
}

void SpreadTileSse2(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame,
                    std::ptrdiff_t pitch) {
  for (int r = 0; r < kTileHeight; ++r) {
    if (enlarged)
      SpreadEnlargedRow(tile + r * kTileWidth, r, frame, pitch);
    else
      SpreadTiledRow(tile + r * kTileWidth, r, frame, pitch);
  }
}

#endif  // GLIMRA_TILE_SUM_SSE2
