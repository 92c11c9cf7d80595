// Dispatch of the tile work. Until a faster version exists, the plain reference does the work.
#include "engine/tile_sum.h"

void SumTile4(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
              int waveY1, int waveX2, int waveY2, std::uint8_t phase) {
  SumTile4Scalar(tile, baseX, baseY, waveX0, waveY0, waveX1, waveY1, waveX2, waveY2, phase);
}
void SumTile3(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
              int waveY1, std::uint8_t phase) {
  SumTile3Scalar(tile, baseX, baseY, waveX0, waveY0, waveX1, waveY1, phase);
}
void SumTile2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0,
              std::uint8_t phase) {
  SumTile2Scalar(tile, baseX, baseY, waveX0, waveY0, phase);
}
void SumTile1(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase) {
  SumTile1Scalar(tile, baseX, baseY, phase);
}
void SpreadTile(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame,
                std::ptrdiff_t pitch) {
  SpreadTileScalar(tile, enlarged, frame, pitch);
}
