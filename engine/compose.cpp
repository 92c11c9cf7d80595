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

void ComposeFrame() {
  // `cir` counts as unsigned: negative values, like values above 3, compose nothing and leave the
  // tile as it was; it is still spread over the frame.
  const auto cir = static_cast<std::uint32_t>(saverSettings.cir);
  if (cir <= 3) {
    for (int layer = static_cast<int>(cir); layer < kRingLayerCount; ++layer)
      AdvanceRingLayer(layer);
    ringPhase += 5;
    const auto phase = static_cast<std::uint8_t>(ringPhase);
    // The sum spreads each finished part of the tile over the frame as it goes.
    const SpreadTarget target = {framePixels, framePitch, saverSettings.one != 0};
    const RingLayer* l = ringLayers;
    switch (cir) {
      case 0:
        SumTile4(ringTile, l[1].x, l[1].y, l[0].x, l[0].y, l[2].x, l[2].y, l[3].x, l[3].y, phase,
                 &target);
        break;
      case 1:
        SumTile3(ringTile, l[1].x, l[1].y, l[2].x, l[2].y, l[3].x, l[3].y, phase, &target);
        break;
      case 2:
        SumTile2(ringTile, l[2].x, l[2].y, l[3].x, l[3].y, phase, &target);
        break;
      default:
        SumTile1(ringTile, l[3].x, l[3].y, phase, &target);
        break;
    }
    return;
  }
  // The tile keeps what it had; it is still spread over the frame.
  SpreadTile(ringTile, saverSettings.one != 0, framePixels, framePitch);
}

void ResetComposition() {
  for (RingLayer& ring : ringLayers) ring = RingLayer{};
  ringPhase = 0;
  std::memset(ringTile, 0, sizeof ringTile);
}
