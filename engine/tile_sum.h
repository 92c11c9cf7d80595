// The per-frame byte work: summing the tile for one to four rings and spreading it over the frame.
// Each sum takes the base-table layer's origin first, then the wave-table layers', then the phase.
// The plain versions are the reference; the SSE2 ones, used wherever SSE2 exists, give the same
// bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// SSE2 is part of every x86-64 target and of the 32-bit build (-msse2); elsewhere the plain
// versions do the work.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define GLIMRA_TILE_SUM_SSE2 1
#else
#define GLIMRA_TILE_SUM_SSE2 0
#endif
constexpr bool kTileSumUsesSse2 = GLIMRA_TILE_SUM_SSE2 != 0;

// Where a sum routine also spreads the tile: the frame, its row pitch and the layout. Given to a
// sum, each tile row goes to the frame as soon as it is summed, so the fast versions overlap the
// sums with the frame stores that bound the frame's cost.
struct SpreadTarget {
  std::uint8_t* frame;
  std::ptrdiff_t pitch;
  bool enlarged;
};

void SumTile4(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
              int waveY1, int waveX2, int waveY2, std::uint8_t phase,
              const SpreadTarget* spreadTo = nullptr);
void SumTile3(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
              int waveY1, std::uint8_t phase, const SpreadTarget* spreadTo = nullptr);
void SumTile2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, std::uint8_t phase,
              const SpreadTarget* spreadTo = nullptr);
void SumTile1(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase,
              const SpreadTarget* spreadTo = nullptr);
// Writes all 640 x 480 frame bytes, rows `pitch` bytes apart: enlarged (each tile cell a 4 x 4
// block) or tiled (the tile repeated four across and four down).
void SpreadTile(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame, std::ptrdiff_t pitch);

// The plain reference versions.
void SumTile4Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                    int waveY1, int waveX2, int waveY2, std::uint8_t phase,
                    const SpreadTarget* spreadTo = nullptr);
void SumTile3Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                    int waveY1, std::uint8_t phase, const SpreadTarget* spreadTo = nullptr);
void SumTile2Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0,
                    std::uint8_t phase, const SpreadTarget* spreadTo = nullptr);
void SumTile1Scalar(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase,
                    const SpreadTarget* spreadTo = nullptr);
void SpreadTileScalar(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame,
                      std::ptrdiff_t pitch);

#if GLIMRA_TILE_SUM_SSE2
// The SSE2 versions, sixteen cells at a time.
void SumTile4Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                  int waveY1, int waveX2, int waveY2, std::uint8_t phase,
                  const SpreadTarget* spreadTo = nullptr);
void SumTile3Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                  int waveY1, std::uint8_t phase, const SpreadTarget* spreadTo = nullptr);
void SumTile2Sse2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0,
                  std::uint8_t phase, const SpreadTarget* spreadTo = nullptr);
void SumTile1Sse2(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase,
                  const SpreadTarget* spreadTo = nullptr);
void SpreadTileSse2(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame,
                    std::ptrdiff_t pitch);
#endif
