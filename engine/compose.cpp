#include "engine/compose.h"

#include <cmath>
#include <cstring>

#include "engine/ring_tables.h"
#include "engine/tile_sum.h"
#include "settings/saver_settings.h"

std::uint8_t* framePixels = nullptr;
std::ptrdiff_t framePitch = kFrameWidth;
RingLayer ringLayers[kRingLayerCount];
std::uint32_t ringPhase = 0;
std::uint8_t ringTile[kTileHeight * kTileWidth];

namespace {

// Per-frame increments of the two angles of each layer (32-bit floats).
constexpr float kIncrementU[kRingLayerCount] = {0.014166667f, 0.05f, 0.06666667f, 0.058333334f};
constexpr float kIncrementV[kRingLayerCount] = {-0.016666668f, -0.033333335f, -0.025f,
                                                -0.008333334f};
constexpr double kTwoPi = 6.283185307179586;

// Beyond the threshold the angle is brought back by whole turns (in double, stored as float), so
// that the rings keep moving after hours of frames instead of freezing.
float ReduceLongAngle(float angle) {
  if (std::fabs(angle) < kAngleReductionThreshold) return angle;
  const double value = angle;
  return static_cast<float>(value - kTwoPi * std::trunc(value / kTwoPi));
}

}  // namespace

void AdvanceRingLayer(int layer) {
  RingLayer& ring = ringLayers[layer];
  ring.u = ReduceLongAngle(ring.u + kIncrementU[layer]);
  ring.v = ReduceLongAngle(ring.v + kIncrementV[layer]);
  // The origins are evaluated in double: the float overloads give other rows after a few hundred
  // frames.
  const double u = ring.u;
  const double v = ring.v;
  if (layer == 0) {
    ring.x = static_cast<std::int32_t>(80.0 + 80.0 * std::sin(u));
    ring.y = static_cast<std::int32_t>(60.0 + 60.0 * std::cos(v));
  } else {
    ring.x = static_cast<std::int32_t>(80.0 + 80.0 * std::cos(u));
    ring.y = static_cast<std::int32_t>(60.0 + 60.0 * std::sin(v));
  }
}

namespace {

// Advances the active layers and the phase and sums the tile, spreading each finished part of it
// to `spreadTo` when one is given. Returns false when `cir` composes nothing: the layers, the
// phase and the tile then stay as they were. `cir` counts as unsigned, so negative values are
// outside 0..3 like values above 3.
bool SumRingTile(const SpreadTarget* spreadTo) {
  const auto cir = static_cast<std::uint32_t>(saverSettings.cir);
  if (cir > 3) return false;
  for (int layer = static_cast<int>(cir); layer < kRingLayerCount; ++layer) AdvanceRingLayer(layer);
  ringPhase += 5;
  const auto phase = static_cast<std::uint8_t>(ringPhase);
  const RingLayer* l = ringLayers;
  switch (cir) {
    case 0:
      SumTile4(ringTile, l[1].x, l[1].y, l[0].x, l[0].y, l[2].x, l[2].y, l[3].x, l[3].y, phase,
               spreadTo);
      break;
    case 1:
      SumTile3(ringTile, l[1].x, l[1].y, l[2].x, l[2].y, l[3].x, l[3].y, phase, spreadTo);
      break;
    case 2:
      SumTile2(ringTile, l[2].x, l[2].y, l[3].x, l[3].y, phase, spreadTo);
      break;
    default:
      SumTile1(ringTile, l[3].x, l[3].y, phase, spreadTo);
      break;
  }
  return true;
}

}  // namespace

void ComposeTile() {
  SumRingTile(nullptr);
}

void ComposeFrame() {
  const SpreadTarget target = {framePixels, framePitch, saverSettings.one != 0};
  // An unchanged tile is still spread over the frame.
  if (!SumRingTile(&target)) SpreadTile(ringTile, target.enlarged, framePixels, framePitch);
}

void ResetComposition() {
  for (RingLayer& ring : ringLayers) ring = RingLayer{};
  ringPhase = 0;
  std::memset(ringTile, 0, sizeof ringTile);
}
