#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/ring_tables.h"
#include "settings/saver_settings.h"

namespace {

class ComposeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saverSettings = SaverSettings{};
    ResetEngine();
    StartEngine(nullptr);
    frame.assign(kFrameBytes, 0);
    framePixels = frame.data();
    framePitch = kFrameWidth;
  }
  void Compose(int cir, int one, int frames = 1) {
    saverSettings.cir = cir;
    saverSettings.one = one;
    for (int i = 0; i < frames; ++i) ComposeFrame();
  }
  int Pixel(int row, int column) const { return frame[row * kFrameWidth + column]; }
  std::vector<std::uint8_t> frame;
};

struct Origins {
  int x[4];
  int y[4];
};

void ExpectOrigins(const Origins& expected) {
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(ringLayers[k].x, expected.x[k]) << "layer " << k;
    EXPECT_EQ(ringLayers[k].y, expected.y[k]) << "layer " << k;
  }
}

TEST_F(ComposeTest, FirstTwoFramesWithFourRings) {
  Compose(0, 1);
  ExpectOrigins({{81, 159, 159, 159}, {119, 58, 58, 59}});
  EXPECT_EQ(ringPhase, 5u);
  EXPECT_EQ(ringTile[0], 180);  // 5 + 54 + 121 + 0 + 0
  Compose(0, 1);
  ExpectOrigins({{82, 159, 159, 159}, {119, 56, 57, 59}});
  EXPECT_EQ(ringPhase, 10u);
}

TEST_F(ComposeTest, OneRingMovesOnlyTheLastLayer) {
  Compose(3, 1);
  ExpectOrigins({{0, 0, 0, 159}, {0, 0, 0, 59}});
  EXPECT_EQ(ringTile[0], 54);  // 5 + 49
  Compose(3, 1, 50);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(ringLayers[k].u, 0.0f);
    EXPECT_EQ(ringLayers[k].v, 0.0f);
  }
}

TEST_F(ComposeTest, OriginsAreEvaluatedInDouble) {
  // At frame 377 layer 0's row angle is close to -2 pi: the float cosine rounds to 1 and would
  // give row 120.
  Compose(0, 1, 377);
  EXPECT_EQ(ringLayers[0].y, 119);
}

TEST_F(ComposeTest, TileSumsMatchTheTablesForEveryRingCount) {
  for (int cir = 0; cir <= 3; ++cir) {
    SetUp();
    Compose(cir, 1, 7);
    const RingLayer* l = ringLayers;
    for (int r = 0; r < kTileHeight; r += 7) {
      for (int c = 0; c < kTileWidth; c += 5) {
        auto base = [&](int k) { return baseTable[(l[k].y + r) * 320 + l[k].x + c]; };
        auto wave = [&](int k) { return waveTable[(l[k].y + r) * 320 + l[k].x + c]; };
        int sum = static_cast<int>(ringPhase);
        if (cir == 0) sum += base(1) + wave(0) + wave(2) + wave(3);
        if (cir == 1) sum += base(1) + wave(2) + wave(3);
        if (cir == 2) sum += base(2) + wave(3);
        if (cir == 3) sum += base(3);
        int expected = sum & 0xFF;
        if (expected == 0) expected = 1;
        if (expected == 255) expected = 254;
        ASSERT_EQ(ringTile[r * kTileWidth + c], expected) << "cir " << cir << " " << r << "," << c;
      }
    }
  }
}

TEST_F(ComposeTest, EnlargedAndTiledLayouts) {
  Compose(1, 1);
  for (int r = 0; r < kFrameHeight; ++r)
    for (int c = 0; c < kFrameWidth; ++c)
      ASSERT_EQ(Pixel(r, c), ringTile[(r / 4) * kTileWidth + c / 4]) << r << "," << c;
  Compose(1, 0);
  for (int r = 0; r < kFrameHeight; ++r)
    for (int c = 0; c < kFrameWidth; ++c)
      ASSERT_EQ(Pixel(r, c), ringTile[(r % kTileHeight) * kTileWidth + c % kTileWidth])
          << r << "," << c;
}

TEST_F(ComposeTest, FramesHoldNeitherZeroNorTwoFiftyFive) {
  for (int cir = 0; cir <= 3; ++cir) {
    SetUp();
    for (int i = 0; i < 120; ++i) {
      Compose(cir, i % 2);
      ASSERT_TRUE(
          std::none_of(frame.begin(), frame.end(), [](int v) { return v == 0 || v == 255; }))
          << "cir " << cir << " frame " << i;
    }
  }
}

TEST_F(ComposeTest, OutOfRangeRingCountsComposeNothing) {
  for (int cir : {4, 5, -1, 2147483647}) {
    SetUp();
    Compose(cir, 1, 3);
    EXPECT_EQ(ringPhase, 0u) << cir;
    for (const RingLayer& layer : ringLayers) EXPECT_EQ(layer.x + layer.y, 0) << cir;
    EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](int v) { return v == 0; })) << cir;
  }
}

TEST_F(ComposeTest, WiderPitchPutsEachRowAtItsPlace) {
  std::vector<std::uint8_t> wide(704 * kFrameHeight, 0xEE);
  framePixels = wide.data();
  framePitch = 704;
  Compose(0, 1);
  framePixels = frame.data();
  framePitch = kFrameWidth;
  ringPhase -= 5;
  for (RingLayer& l : ringLayers) l = RingLayer{};
  Compose(0, 1);
  for (int r = 0; r < kFrameHeight; ++r) {
    ASSERT_TRUE(
        std::equal(frame.begin() + r * 640, frame.begin() + r * 640 + 640, wide.begin() + r * 704))
        << r;
    ASSERT_EQ(wide[r * 704 + 640], 0xEE) << "padding of row " << r << " untouched";
  }
}

TEST_F(ComposeTest, LongRunsKeepMoving) {
  // Advance every layer 10^8 frames (the angles alone: the origins follow from them) and check that
  // the angles still move at their speed, within 1%, and the window with them.
  const double speedsU[4] = {0.014166667, 0.05, 0.06666667, 0.058333334};
  const double speedsV[4] = {-0.016666668, -0.033333335, -0.025, -0.008333334};
  for (int k = 0; k < kRingLayerCount; ++k) {
    for (long i = 0; i < 100000000L; ++i) AdvanceRingAngles(k);
    double movedU = 0, movedV = 0;
    int originChanges = 0;
    for (int i = 0; i < 1000; ++i) {
      const RingLayer before = ringLayers[k];
      const float u = ringLayers[k].u, v = ringLayers[k].v;
      AdvanceRingLayer(k);
      movedU += std::remainder(static_cast<double>(ringLayers[k].u) - u, 6.283185307179586);
      movedV += std::remainder(static_cast<double>(ringLayers[k].v) - v, 6.283185307179586);
      originChanges += before.x != ringLayers[k].x || before.y != ringLayers[k].y;
    }
    EXPECT_GT(originChanges, 100) << "layer " << k;
    EXPECT_NEAR(movedU / 1000, speedsU[k], std::fabs(speedsU[k]) * 0.01) << "layer " << k;
    EXPECT_NEAR(movedV / 1000, speedsV[k], std::fabs(speedsV[k]) * 0.01) << "layer " << k;
    EXPECT_LT(std::fabs(ringLayers[k].u), kAngleReductionThreshold + 1);
  }
}

}  // namespace
