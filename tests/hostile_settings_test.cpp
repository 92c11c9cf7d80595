// Settings files edited by hand, taken to and beyond every edge: each value loads as the platform's
// profile reader gives it, and the saver's whole per-frame work then runs on it (tables, scaled
// speeds, frames, palette steps) without a fault; saving into awkward or protected files loses
// nothing. Runs natively and under Wine with the same expectations unless a case says otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/palette.h"
#include "engine/ring_tables.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"
#include "settings_file.h"

namespace {

const std::string kHeader = "[Glimra ScreenSaver]\r\n";
constexpr int kFrames = 40;

// One field of the record by its key, as a double (exact for every int32 and every speed).
double FieldOf(const SaverSettings& s, const std::string& key) {
  if (key == "dx_r") return s.dx_r;
  if (key == "dx_g") return s.dx_g;
  if (key == "dx_b") return s.dx_b;
  if (key == "one") return s.one;
  if (key == "pal") return s.pal;
  if (key == "cir") return s.cir;
  if (key == "cycle") return s.cycle;
  return s.direct_x;
}

// What the saver does with the loaded record, and what came out of it.
struct SaverRun {
  std::vector<std::uint8_t> frame;
  PaletteEntries quad;
  PaletteEntries entry;
};

void RunSaverOn(const SaverSettings& loaded, SaverRun& run) {
  saverSettings = loaded;
  ResetEngine();
  std::memset(run.quad, 0, sizeof run.quad);  // the RGBQUAD reserved bytes are never written
  StartEngine(run.quad);
  BuildFirstPalette(run.entry, EntryLayoutPaletteEntry);
  run.frame.assign(kFrameBytes, 0);
  framePixels = run.frame.data();
  framePitch = kFrameWidth;
  for (int i = 0; i < kFrames; ++i) {
    StepFrame(run.quad);
    StepPaletteEntries(run.entry, EntryLayoutPaletteEntry);
  }
  framePixels = nullptr;
}

// The invariants every run keeps, whatever the values.
void ExpectSoundRun(const SaverRun& run, const std::string& what) {
  const bool composes = static_cast<std::uint32_t>(saverSettings.cir) <= 3;
  if (composes) {
    EXPECT_EQ(ringPhase, 5u * kFrames) << what;
    EXPECT_EQ(std::count(run.frame.begin(), run.frame.end(), 0), 0) << what;
    EXPECT_EQ(std::count(run.frame.begin(), run.frame.end(), 255), 0) << what;
  } else {
    EXPECT_EQ(ringPhase, 0u) << what;
    EXPECT_EQ(std::count(run.frame.begin(), run.frame.end(), 0), kFrameBytes) << what;
  }
  if (saverSettings.pal == PaletteShift || saverSettings.pal == PaletteFixed) return;
  for (int i = 0; i < kPaletteSize; ++i)
    for (int c = 0; c < 3; ++c) {
      ASSERT_TRUE(run.quad[i][c] <= 62 || run.quad[i][c] == kHeldChannel) << what << " " << i;
      ASSERT_TRUE(run.entry[i][c] <= 62 || run.entry[i][c] == kHeldChannel) << what << " " << i;
    }
}

int BaseAt(int row, int column) {
  return baseTable[row * kRingTableColumns + column];
}

class HostileSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { UseFreshSettingsFile(); }
  void TearDown() override {
    SetSettingsFileReadOnly(false);
    RemoveFolderAtSettingsPath();
    UseFreshSettingsFile();
  }
  SaverSettings Load(const std::string& file) {
    WriteSettingsFile(file);
    saverSettings = SaverSettings{};
    LoadSettings();
    return saverSettings;
  }
};

TEST_F(HostileSettingsTest, ValuesAtAndBeyondEveryEdgeLoadAndRun) {
  struct Case {
    const char* key;
    std::string text;
    double loaded;
  };
  const Case cases[] = {
      {"cycle", "-1", -1},
      {"cycle", "0", 0},
      {"cycle", "21", 21},
      {"cycle", "53688", 53688},  // the first value whose 32-bit product overflows
      {"cycle", "2147483647", 2147483647},
      {"cycle", "4294967296", 0},  // wraps modulo 2^32
      {"cir", "-1", -1},
      {"cir", "4", 4},
      {"cir", "2147483647", 2147483647},
      {"cir", "0", 0},
      {"cir", "3", 3},
      {"pal", "-1", -1},
      {"pal", "7", 7},
      {"pal", "2147483647", 2147483647},
      {"pal", "99999999999", 1215752191},
      {"one", "-1", -1},
      {"one", "0", 0},
      {"direct_x", "-1", -1},
      {"dx_r", "0", 0},
      {"dx_r", "100", 100},
      {"dx_r", "4294967295", 4294967295.0},
      {"dx_g", "-1", 4294967295.0},  // negative text: the 32-bit result taken as unsigned
      {"dx_b", "-100", 4294967196.0},
      {"dx_b", "-2147483648", 2147483648.0},
      {"cir", "abc", 0},  // no digit at all
      {"cycle", "x12", 0},
      {"cycle", "", 1},  // an empty value is a missing one
      {"pal", "   ", 1},
  };
  SaverRun run;
  for (const Case& c : cases) {
    const std::string what = std::string(c.key) + "=\"" + c.text + "\"";
    const SaverSettings loaded = Load(kHeader + c.key + "=" + c.text + "\r\n");
    EXPECT_EQ(FieldOf(loaded, c.key), c.loaded) << what;
    RunSaverOn(loaded, run);
    ExpectSoundRun(run, what);
  }
}

TEST_F(HostileSettingsTest, RingPeriodsBeyondTheDialogStayRings) {
  // Corner (row 0, column 0) and the centre's neighbour for cycles the dialog never offers: the
  // values of the sawtooth computed without 32-bit overflow.
  struct Case {
    int cycle;
    int corner;
    int neighbour;
  };
  const Case cases[] = {{21, 230, 22}, {53688, 26, 134}, {2147483647, 86, 24}};
  for (const Case& c : cases) {
    BuildBaseTable(c.cycle);
    EXPECT_EQ(BaseAt(120, 160), 0) << c.cycle;
    EXPECT_EQ(BaseAt(0, 0), c.corner) << c.cycle;
    EXPECT_EQ(BaseAt(120, 161), c.neighbour) << c.cycle;
  }
}

TEST_F(HostileSettingsTest, PaletteModesOutsideTheListAnimate) {
  SaverRun reference, run;
  RunSaverOn(SaverSettings{}, reference);  // pal 1
  for (std::int32_t pal : {-1, 7, 2147483647, -2147483647 - 1}) {
    SaverSettings settings;
    settings.pal = pal;
    RunSaverOn(settings, run);
    EXPECT_EQ(std::memcmp(run.quad, reference.quad, sizeof run.quad), 0) << pal;
    EXPECT_EQ(std::memcmp(run.entry, reference.entry, sizeof run.entry), 0) << pal;
  }
}

TEST_F(HostileSettingsTest, AwkwardFilesLoadWhatTheyHold) {
  struct Case {
    const char* what;
    std::string file;
    std::int32_t cycle;
    std::int32_t cir;
  };
  std::string binary(4096, '\0');
  std::uint32_t seed = 12345;
  for (char& b : binary) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<char>(seed >> 24);
  }
  binary[0] = '\x01';  // no byte-order mark
  const std::string megabyte(1 << 20, 'x');
  const Case cases[] = {
      {"duplicate keys: the first counts", kHeader + "cycle=3\r\ncir=2\r\ncycle=9\r\ncir=0\r\n", 3,
       2},
      {"a key in another section", "[Other]\r\ncycle=9\r\n" + kHeader + "cir=2\r\n", 1, 2},
      {"our keys before any section", "cycle=9\r\ncir=3\r\n" + kHeader, 1, 1},
      {"a 1 MB line before the section", megabyte + "\r\n" + kHeader + "cycle=5\r\n", 5, 1},
      {"a 1 MB value", kHeader + "cycle=" + std::string(1 << 20, '0') + "\r\ncir=2\r\n", 0, 2},
      {"a 1 MB key", kHeader + megabyte + "=4\r\ncir=2\r\n", 1, 2},
      {"a file that is not text", binary, 1, 1},
      {"not text, then our section", binary + "\r\n" + kHeader + "cycle=7\r\n", 7, 1},
      {"an empty file", "", 1, 1},
      {"only a header", kHeader, 1, 1},
  };
  SaverRun run;
  for (const Case& c : cases) {
    const SaverSettings loaded = Load(c.file);
    EXPECT_EQ(loaded.cycle, c.cycle) << c.what;
    EXPECT_EQ(loaded.cir, c.cir) << c.what;
    RunSaverOn(loaded, run);
    ExpectSoundRun(run, c.what);
  }
}

TEST_F(HostileSettingsTest, UnreadableFileGivesDefaultsAndSurvivesASave) {
  PutFolderAtSettingsPath();
  saverSettings = SaverSettings{};
  saverSettings.cycle = 9;
  LoadSettings();
  EXPECT_EQ(saverSettings.cycle, 1);
  EXPECT_EQ(saverSettings.dx_g, 10.0);
  saverSettings.cycle = 4;
  SaveSettings();  // every write fails quietly
  EXPECT_FALSE(SettingsFileExists() && !ReadSettingsFile().empty());
}

TEST_F(HostileSettingsTest, ReadOnlyFileKeepsEveryByteOnSave) {
  const std::string before = "; hand-made\r\n[Other]\r\nk=v\r\n" + kHeader +
                             "cycle=21\r\ncir=-1\r\npal=7\r\ndx_r=4294967295\r\n";
  WriteSettingsFile(before);
  SetSettingsFileReadOnly(true);
  LoadSettings();
  saverSettings.cycle = 3;
  saverSettings.cir = 0;
  SaveSettings();
  EXPECT_EQ(ReadSettingsFile(), before);
  LoadSettings();
  EXPECT_EQ(saverSettings.cycle, 21);
  EXPECT_EQ(saverSettings.cir, -1);
  EXPECT_EQ(saverSettings.pal, 7);
}

TEST_F(HostileSettingsTest, SaveIntoAHandEditedFileKeepsTheRest) {
  // Values beyond every edge go back out as they came in, and everything around them survives.
  const std::string before = "; hand-made\r\n[Other]\r\ncycle=9\r\n" + kHeader +
                             "cycle=53688\r\ncir=2147483647\r\nnote=keep me\r\npal=-1\r\n"
                             "[Last]\r\nk=v\r\n";
  WriteSettingsFile(before);
  LoadSettings();
  SaveSettings();
  EXPECT_EQ(ReadSettingsFile(),
            "; hand-made\r\n[Other]\r\ncycle=9\r\n" + kHeader +
                "cycle=53688\r\ncir=2147483647\r\nnote=keep me\r\npal=-1\r\ndx_r=5\r\ndx_g=10\r\n"
                "dx_b=3\r\none=1\r\ndirect_x=0\r\n[Last]\r\nk=v\r\n");
}

}  // namespace
