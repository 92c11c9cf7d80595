// Dispatch of the tile work, fixed at build time: the SSE2 versions where the target has SSE2,
// the plain reference elsewhere. Both give the same bytes.
#include "engine/tile_sum.h"

#if GLIMRA_TILE_SUM_SSE2
#define GLIMRA_TILE_WORK(name) name##Sse2
#else
#define GLIMRA_TILE_WORK(name) name##Scalar
#endif

void SumTile4(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
              int waveY1, int waveX2, int waveY2, std::uint8_t phase,
              const SpreadTarget* spreadTo) {
  GLIMRA_TILE_WORK(SumTile4)
  (tile, baseX, baseY, waveX0, waveY0, waveX1, waveY1, waveX2, waveY2, phase, spreadTo);
}
void SumTile3(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
              int waveY1, std::uint8_t phase, const SpreadTarget* spreadTo) {
  GLIMRA_TILE_WORK(SumTile3)(tile, baseX, baseY, waveX0, waveY0, waveX1, waveY1, phase, spreadTo);
}
void SumTile2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, std::uint8_t phase,
              const SpreadTarget* spreadTo) {
  GLIMRA_TILE_WORK(SumTile2)(tile, baseX, baseY, waveX0, waveY0, phase, spreadTo);
}
void SumTile1(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase,
              const SpreadTarget* spreadTo) {
  GLIMRA_TILE_WORK(SumTile1)(tile, baseX, baseY, phase, spreadTo);
}
void SpreadTile(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame,
                std::ptrdiff_t pitch) {
  GLIMRA_TILE_WORK(SpreadTile)(tile, enlarged, frame, pitch);
}
