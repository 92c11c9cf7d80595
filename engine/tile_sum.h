// The per-frame byte work: summing the tile for one to four rings and spreading it over the frame.
// Each sum takes the base-table layer's origin first, then the wave-table layers', then the phase.
// The plain versions are the reference; the fast ones must give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

void SumTile4(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
              int waveY1, int waveX2, int waveY2, std::uint8_t phase);
void SumTile3(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
              int waveY1, std::uint8_t phase);
void SumTile2(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, std::uint8_t phase);
void SumTile1(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase);
// Writes all 640 x 480 frame bytes, rows `pitch` bytes apart: enlarged (each tile cell a 4 x 4
// block) or tiled (the tile repeated four across and four down).
void SpreadTile(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame, std::ptrdiff_t pitch);

// The plain reference versions.
void SumTile4Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                    int waveY1, int waveX2, int waveY2, std::uint8_t phase);
void SumTile3Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0, int waveX1,
                    int waveY1, std::uint8_t phase);
void SumTile2Scalar(std::uint8_t* tile, int baseX, int baseY, int waveX0, int waveY0,
                    std::uint8_t phase);
void SumTile1Scalar(std::uint8_t* tile, int baseX, int baseY, std::uint8_t phase);
void SpreadTileScalar(const std::uint8_t* tile, bool enlarged, std::uint8_t* frame,
                      std::ptrdiff_t pitch);
