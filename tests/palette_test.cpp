#include <gtest/gtest.h>

#include <cstring>

#include "engine/palette.h"
#include "settings/saver_settings.h"

namespace {

struct Rgb {
  int red, green, blue;
};

Rgb EntryOf(const PaletteEntries entries, int index, EntryLayout layout) {
  const std::uint8_t* e = entries[index];
  if (layout == EntryLayoutRgbQuad) return {e[2], e[1], e[0]};
  return {e[0], e[1], e[2]};
}

class PaletteTest : public ::testing::TestWithParam<EntryLayout> {
 protected:
  void SetUp() override {
    saverSettings = SaverSettings{};
    ResetPaletteState();
    std::memset(entries, 0xAB, sizeof entries);
  }
  void ExpectEntry(int index, Rgb expected) {
    const Rgb got = EntryOf(entries, index, GetParam());
    EXPECT_EQ(got.red, expected.red) << "entry " << index;
    EXPECT_EQ(got.green, expected.green) << "entry " << index;
    EXPECT_EQ(got.blue, expected.blue) << "entry " << index;
  }
  PaletteEntries entries;
};

TEST_P(PaletteTest, FirstPaletteAndTheFirstTwoAnimateSteps) {
  BuildFirstPalette(entries, GetParam());
  const struct {
    int index;
    Rgb rgb;
  } first[] = {{0, {57, 31, 4}},
               {64, {15, 0, 15}},
               {128, {4, 30, 57}},
               {192, {46, 61, 46}},
               {255, {58, 31, 4}}};
  for (const auto& e : first) ExpectEntry(e.index, e.rgb);
  EXPECT_EQ(entries[0][3], GetParam() == EntryLayoutPaletteEntry ? 0 : 0xAB);

  ScalePhaseSpeeds();
  EXPECT_DOUBLE_EQ(saverSettings.dx_g, 0.1);
  StepPaletteEntries(entries, GetParam());
  for (const auto& e : first) ExpectEntry(e.index, e.rgb);
  StepPaletteEntries(entries, GetParam());
  ExpectEntry(0, {57, 34, 3});
  ExpectEntry(128, {4, 27, 58});
}

TEST_P(PaletteTest, HeldChannelsPerMode) {
  struct Case {
    int pal;
    bool red, green, blue;  // held at 128
  };
  const Case cases[] = {{1, false, false, false},  {3, true, false, false},
                        {4, false, true, false},   {5, false, false, true},
                        {6, true, false, true},    {7, false, false, false},
                        {-1, false, false, false}, {1000000, false, false, false}};
  for (const Case& c : cases) {
    SetUp();
    saverSettings.pal = c.pal;
    ScalePhaseSpeeds();
    BuildFirstPalette(entries, GetParam());
    for (int step = 0; step < 3; ++step) StepPaletteEntries(entries, GetParam());
    for (int i = 0; i < kPaletteSize; ++i) {
      const Rgb rgb = EntryOf(entries, i, GetParam());
      ASSERT_EQ(rgb.red == 128, c.red) << "pal " << c.pal << " entry " << i;
      ASSERT_EQ(rgb.green == 128, c.green) << "pal " << c.pal << " entry " << i;
      ASSERT_EQ(rgb.blue == 128, c.blue) << "pal " << c.pal << " entry " << i;
      ASSERT_LE(c.red ? 0 : rgb.red, 62);
      ASSERT_LE(c.green ? 0 : rgb.green, 62);
      ASSERT_LE(c.blue ? 0 : rgb.blue, 62);
    }
    // Every recomputing mode advances all three phases, held ones too.
    EXPECT_DOUBLE_EQ(paletteState.phaseR, kStartPhaseR + 3 * 0.05) << c.pal;
    EXPECT_DOUBLE_EQ(paletteState.phaseG, kStartPhaseG - 3 * 0.1) << c.pal;
    EXPECT_DOUBLE_EQ(paletteState.phaseB, kStartPhaseB + 3 * 0.03) << c.pal;
  }
}

TEST_P(PaletteTest, ShiftRotatesEntriesOneToTwoFiftyFour) {
  saverSettings.pal = PaletteShift;
  BuildFirstPalette(entries, GetParam());
  PaletteEntries start;
  std::memcpy(start, entries, sizeof start);
  StepPaletteEntries(entries, GetParam());
  EXPECT_EQ(std::memcmp(entries[2], start[1], 4), 0);
  EXPECT_EQ(std::memcmp(entries[1], start[254], 4), 0);
  for (int step = 1; step < 254; ++step) StepPaletteEntries(entries, GetParam());
  EXPECT_EQ(std::memcmp(entries, start, sizeof start), 0);
  EXPECT_EQ(paletteState.phaseR, kStartPhaseR);
  EXPECT_EQ(paletteState.phaseG, kStartPhaseG);
  EXPECT_EQ(paletteState.phaseB, kStartPhaseB);
}

TEST_P(PaletteTest, FixedChangesNothingAndZeroSpeedFreezesAChannel) {
  saverSettings.pal = PaletteFixed;
  BuildFirstPalette(entries, GetParam());
  PaletteEntries start;
  std::memcpy(start, entries, sizeof start);
  StepPaletteEntries(entries, GetParam());
  EXPECT_EQ(std::memcmp(entries, start, sizeof start), 0);

  saverSettings.pal = PaletteAnimate;
  saverSettings.dx_r = 0;
  ScalePhaseSpeeds();
  for (int step = 0; step < 40; ++step) StepPaletteEntries(entries, GetParam());
  for (int i = 0; i < kPaletteSize; ++i)
    ASSERT_EQ(EntryOf(entries, i, GetParam()).red, EntryOf(start, i, GetParam()).red) << i;
}

INSTANTIATE_TEST_SUITE_P(Layouts, PaletteTest,
                         ::testing::Values(EntryLayoutRgbQuad, EntryLayoutPaletteEntry));

TEST(PaletteRules, GreenFallsAsRedRises) {
  saverSettings = SaverSettings{};
  saverSettings.dx_r = saverSettings.dx_g = saverSettings.dx_b = 10;
  ScalePhaseSpeeds();
  ResetPaletteState();
  PaletteEntries entries;
  for (int n = 0; n < 100; ++n) StepPaletteEntries(entries, EntryLayoutRgbQuad);
  EXPECT_NEAR(paletteState.phaseR - kStartPhaseR, 10.0, 1e-9);
  EXPECT_NEAR(kStartPhaseG - paletteState.phaseG, 10.0, 1e-9);
}

}  // namespace
