// The fast tile sums and spread against the plain reference: every ring count, both layouts, the
// normal and wider frame pitches, hundreds of frames, every byte of tile and frame (padding too).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/ring_tables.h"
#include "engine/tile_sum.h"
#include "settings/saver_settings.h"

namespace {

constexpr std::uint8_t kPadding = 0xEE;

// Index of the first differing byte, or -1.
long FirstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return static_cast<long>(i);
  return -1;
}

// The tile that the plain sums give for the layers' current origins and the current phase.
void ReferenceTile(int cir, std::uint8_t* tile) {
  const RingLayer* l = ringLayers;
  const auto phase = static_cast<std::uint8_t>(ringPhase);
  switch (cir) {
    case 0:
      SumTile4Scalar(tile, l[1].x, l[1].y, l[0].x, l[0].y, l[2].x, l[2].y, l[3].x, l[3].y, phase);
      break;
    case 1:
      SumTile3Scalar(tile, l[1].x, l[1].y, l[2].x, l[2].y, l[3].x, l[3].y, phase);
      break;
    case 2:
      SumTile2Scalar(tile, l[2].x, l[2].y, l[3].x, l[3].y, phase);
      break;
    default:
      SumTile1Scalar(tile, l[3].x, l[3].y, phase);
      break;
  }
}

struct FrameCase {
  int cir;
  int one;
  std::ptrdiff_t pitch;
  int cycle;
};

TEST(TileSum, ComposedFramesMatchThePlainReference) {
  std::vector<FrameCase> cases;
  const int cycles[] = {1, 7, 20};
  for (int cir = 0; cir <= 3; ++cir)
    for (int one = 0; one <= 1; ++one)
      for (std::ptrdiff_t pitch : {640, 704})
        cases.push_back({cir, one, pitch, cycles[cases.size() % 3]});
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "cir " << c.cir << " one " << c.one << " pitch " << c.pitch
                                      << " cycle " << c.cycle);
    saverSettings = SaverSettings{};
    saverSettings.cir = c.cir;
    saverSettings.one = c.one;
    saverSettings.cycle = c.cycle;
    ResetEngine();
    StartEngine(nullptr);
    std::vector<std::uint8_t> frame(c.pitch * kFrameHeight, kPadding);
    std::vector<std::uint8_t> expected(frame.size(), kPadding);
    std::uint8_t tile[kTileHeight * kTileWidth];
    framePixels = frame.data();
    framePitch = c.pitch;
    // 300 frames: the phase (5 per frame) passes through all 256 values.
    for (int n = 0; n < 300; ++n) {
      ComposeFrame();
      ReferenceTile(c.cir, tile);
      ASSERT_EQ(std::memcmp(tile, ringTile, sizeof tile), 0) << "tile of frame " << n;
      SpreadTileScalar(tile, c.one != 0, expected.data(), c.pitch);
      const long at = FirstDifference(frame, expected);
      ASSERT_EQ(at, -1) << "frame " << n << " row " << at / c.pitch << " column " << at % c.pitch;
    }
  }
  framePixels = nullptr;
  framePitch = kFrameWidth;
}

// Random table bytes make sums of 0 and 255 common, so the index fix-up is exercised in every
// lane; origins cover the whole range, the extremes included.
TEST(TileSum, RandomTablesOriginsAndPhases) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> byte(0, 255), column(0, 160), row(0, 120);
  for (auto* table : {&baseTable, &waveTable})
    for (auto& cell : *table) cell = static_cast<std::uint8_t>(byte(random));
  std::uint8_t fast[kTileHeight * kTileWidth];
  std::uint8_t plain[kTileHeight * kTileWidth];
  std::vector<std::uint8_t> fastFrame(704 * kFrameHeight), plainFrame(704 * kFrameHeight);
  for (int draw = 0; draw < 200; ++draw) {
    int x[4], y[4];
    for (int k = 0; k < 4; ++k) {
      // Every fourth draw puts the windows at the corners of their range.
      x[k] = draw % 4 == 0 ? 160 * ((draw / 4 + k) % 2) : column(random);
      y[k] = draw % 4 == 0 ? 120 * ((draw / 8 + k) % 2) : row(random);
    }
    const auto phase = static_cast<std::uint8_t>(byte(random));
    // Odd draws also spread as they sum, into frames of either pitch and layout.
    const std::ptrdiff_t pitch = draw % 4 == 1 ? 704 : 640;
    const SpreadTarget fastTarget = {fastFrame.data(), pitch, draw % 8 < 4};
    const SpreadTarget plainTarget = {plainFrame.data(), pitch, draw % 8 < 4};
    const SpreadTarget* toFast = draw % 2 ? &fastTarget : nullptr;
    const SpreadTarget* toPlain = draw % 2 ? &plainTarget : nullptr;
    for (int rings = 1; rings <= 4; ++rings) {
      SCOPED_TRACE(::testing::Message() << "draw " << draw << " rings " << rings);
      std::memset(fast, 0, sizeof fast);
      std::fill(fastFrame.begin(), fastFrame.end(), kPadding);
      std::fill(plainFrame.begin(), plainFrame.end(), kPadding);
      switch (rings) {
        case 4:
          SumTile4(fast, x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], phase, toFast);
          SumTile4Scalar(plain, x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], phase, toPlain);
          break;
        case 3:
          SumTile3(fast, x[0], y[0], x[1], y[1], x[2], y[2], phase, toFast);
          SumTile3Scalar(plain, x[0], y[0], x[1], y[1], x[2], y[2], phase, toPlain);
          break;
        case 2:
          SumTile2(fast, x[0], y[0], x[1], y[1], phase, toFast);
          SumTile2Scalar(plain, x[0], y[0], x[1], y[1], phase, toPlain);
          break;
        default:
          SumTile1(fast, x[0], y[0], phase, toFast);
          SumTile1Scalar(plain, x[0], y[0], phase, toPlain);
          break;
      }
      ASSERT_EQ(std::memcmp(fast, plain, sizeof fast), 0);
      const long at = FirstDifference(fastFrame, plainFrame);
      ASSERT_EQ(at, -1) << "frame byte " << at;
    }
  }
}

// Random tiles spread into frames at pitches and start addresses of every alignment.
TEST(TileSum, SpreadAtEveryPitchAndAlignment) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uint8_t tile[kTileHeight * kTileWidth];
  for (auto& cell : tile) cell = static_cast<std::uint8_t>(byte(random));
  for (std::ptrdiff_t pitch : {640, 641, 656, 704, 1024}) {
    for (std::size_t offset : {0, 1, 8}) {
      for (bool enlarged : {true, false}) {
        SCOPED_TRACE(::testing::Message()
                     << "pitch " << pitch << " offset " << offset << " enlarged " << enlarged);
        const std::size_t size = offset + pitch * kFrameHeight + 16;
        std::vector<std::uint8_t> fast(size, kPadding), plain(size, kPadding);
        SpreadTile(tile, enlarged, fast.data() + offset, pitch);
        SpreadTileScalar(tile, enlarged, plain.data() + offset, pitch);
        const long at = FirstDifference(fast, plain);
        ASSERT_EQ(at, -1) << "byte " << at;
      }
    }
  }
}

TEST(TileSum, FastVersionsAreBuiltOnX86) {
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
  // The 32-bit build must keep -msse2; without it the frame silently falls back to the slow path.
  EXPECT_TRUE(kTileSumUsesSse2);
#else
  GTEST_SKIP() << "no SSE2 on this target";
#endif
}

}  // namespace
