// The X11 saver's pure rules: its options (values, ranges, spellings, the settings they make; the
// Wayland saver shares them but for the place to draw), the choice of window, and the palette
// lookup with nearest-neighbour sampling.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/pixel_lookup.h"
#include "process_folder.h"
#include "settings/saver_options.h"
#include "x11/exact_scale.h"
#include "x11/window_choice.h"

namespace {

bool Parse(std::vector<std::string> args, SaverOptions& options, std::string& error,
           SaverProgram program = SaverProgram::X11) {
  args.insert(args.begin(), "glimra");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  return ParseSaverOptions(program, static_cast<int>(argv.size()), argv.data(), options, error);
}

SaverSettings SettingsOf(const std::vector<std::string>& args) {
  SaverOptions options;
  std::string error;
  EXPECT_TRUE(Parse(args, options, error)) << error;
  return SettingsFromOptions(options);
}

void ExpectSettings(const SaverSettings& got, const SaverSettings& want, const char* what) {
  EXPECT_EQ(got.dx_r, want.dx_r) << what;
  EXPECT_EQ(got.dx_g, want.dx_g) << what;
  EXPECT_EQ(got.dx_b, want.dx_b) << what;
  EXPECT_EQ(got.one, want.one) << what;
  EXPECT_EQ(got.pal, want.pal) << what;
  EXPECT_EQ(got.cir, want.cir) << what;
  EXPECT_EQ(got.cycle, want.cycle) << what;
}

SaverSettings With(void (*change)(SaverSettings&)) {
  SaverSettings settings;
  change(settings);
  return settings;
}

TEST(X11OptionsTest, OptionsMakeTheSaversSettings) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    SaverSettings want;
  };
  const std::vector<Case> cases = {
      {"no options: the saver's defaults", {}, SaverSettings{}},
      {"cycle", {"--cycle", "20"}, With([](SaverSettings& s) { s.cycle = 20; })},
      {"four circles", {"--circles=4"}, With([](SaverSettings& s) { s.cir = 0; })},
      {"one circle, single dash", {"-circles", "1"}, With([](SaverSettings& s) { s.cir = 3; })},
      {"palette fixed", {"--palette", "fixed"}, With([](SaverSettings& s) { s.pal = 0; })},
      {"palette shift", {"--palette", "shift"}, With([](SaverSettings& s) { s.pal = 2; })},
      {"palette cherry blossom", {"--palette", "cherry-blossom"}, With([](SaverSettings& s) {
         s.pal = 6;
       })},
      {"tile", {"-tile"}, With([](SaverSettings& s) { s.one = 0; })},
      {"tile then enlarge", {"--tile", "--enlarge"}, SaverSettings{}},
      {"speeds",
       {"--red-speed", "0", "--green-speed", "100", "--blue-speed", "42"},
       With([](SaverSettings& s) {
         s.dx_r = 0;
         s.dx_g = 100;
         s.dx_b = 42;
       })},
      {"drawing options leave the settings alone",
       {"--root", "--window-id", "0x42", "--delay", "0", "--fps"},
       SaverSettings{}},
  };
  for (const Case& c : cases) ExpectSettings(SettingsOf(c.args), c.want, c.what);
}

TEST(X11OptionsTest, IniFileIsReadAndOptionsGoOnTop) {
  const std::string path = ProcessFolder() + "/options.ini";
  std::ofstream(path, std::ios::binary)
      << "[Glimra ScreenSaver]\r\ndx_r=7\r\none=0\r\npal=4\r\ncir=2\r\ncycle=9\r\n";
  ExpectSettings(SettingsOf({"--ini", path}), With([](SaverSettings& s) {
                   s.dx_r = 7;
                   s.one = 0;
                   s.pal = 4;
                   s.cir = 2;
                   s.cycle = 9;
                 }),
                 "file alone");
  ExpectSettings(SettingsOf({"--ini", path, "--cycle", "3", "--enlarge"}),
                 With([](SaverSettings& s) {
                   s.dx_r = 7;
                   s.pal = 4;
                   s.cir = 2;
                   s.cycle = 3;
                 }),
                 "file, then options");
  ExpectSettings(SettingsOf({"--ini", path + ".missing"}), SaverSettings{}, "missing file");
}

TEST(X11OptionsTest, PacingAndWindowOptions) {
  SaverOptions options;
  std::string error;
  ASSERT_TRUE(Parse({}, options, error));
  EXPECT_EQ(options.delayMicroseconds, 50000);
  EXPECT_FALSE(options.showFps);
  EXPECT_FALSE(options.root);
  EXPECT_FALSE(options.stretch);
  ASSERT_TRUE(Parse({"-root", "--fps", "-delay", "12345", "-window-id", "0x1a", "-stretch"},
                    options, error));
  EXPECT_TRUE(options.stretch);
  EXPECT_EQ(options.delayMicroseconds, 12345);
  EXPECT_TRUE(options.showFps);
  EXPECT_TRUE(options.root);
  EXPECT_EQ(options.windowId, "0x1a");
  SaverOptions help;
  ASSERT_TRUE(Parse({"--help"}, help, error));
  EXPECT_TRUE(help.help);
}

TEST(X11OptionsTest, BadValuesAreRefusedWithAReason) {
  struct Case {
    std::vector<std::string> args;
    const char* mentions;
  };
  const std::vector<Case> cases = {
      {{"--cycle", "0"}, "--cycle takes a whole number from 1 to 20, not '0'"},
      {{"--cycle", "21"}, "'21'"},
      {{"--cycle", "3x"}, "'3x'"},
      {{"--cycle", ""}, "''"},
      {{"--circles", "5"}, "from 1 to 4"},
      {{"--circles", "0"}, "'0'"},
      {{"--red-speed", "101"}, "from 0 to 100"},
      {{"--green-speed", "-1"}, "'-1'"},
      {{"--blue-speed", "1.5"}, "'1.5'"},
      {{"--delay", "-5"}, "--delay"},
      {{"--delay", "99999999999999999999"}, "--delay"},
      {{"--palette", "rainbow"}, "'rainbow'"},
      {{"--palette"}, "--palette needs a value"},
      {{"--cycle"}, "--cycle needs a value"},
      {{"--ini="}, "--ini needs a value"},
      {{"--window-id="}, "--window-id needs a value"},
      {{"--speed", "3"}, "unknown option '--speed'"},
      {{"--root=1"}, "unknown option '--root=1'"},
      {{"stray"}, "unknown option 'stray'"},
      {{"-"}, "unknown option '-'"},
  };
  for (const Case& c : cases) {
    SaverOptions options;
    std::string error;
    EXPECT_FALSE(Parse(c.args, options, error)) << c.args[0];
    EXPECT_NE(error.find(c.mentions), std::string::npos) << c.args[0] << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
  }
}

// The options of the place to draw are each program's own; everything else is shared.
TEST(X11OptionsTest, EachProgramTakesItsOwnPlaces) {
  struct Case {
    SaverProgram program;
    std::vector<std::string> args;
    const char* mentions;  // in the error; nullptr: accepted
  };
  const std::vector<Case> cases = {
      {SaverProgram::X11, {"--root", "--window-id", "0x2"}, nullptr},
      {SaverProgram::X11, {"--window"}, "unknown option '--window'"},
      {SaverProgram::Wayland, {"--window", "--fps", "--delay", "0", "--palette", "fixed"}, nullptr},
      {SaverProgram::Wayland, {"--root"}, "unknown option '--root'"},
      {SaverProgram::Wayland, {"--window-id", "0x2"}, "unknown option '--window-id'"},
      {SaverProgram::Wayland, {"-window=1"}, "unknown option '-window=1'"},
      {SaverProgram::X11, {"--background"}, "unknown option '--background'"},
      {SaverProgram::Wayland, {"--background", "--stretch"}, nullptr},
      {SaverProgram::Wayland, {"--window", "--background"}, "cannot be used together"},
  };
  for (const Case& c : cases) {
    SaverOptions options;
    std::string error;
    const bool parsed = Parse(c.args, options, error, c.program);
    EXPECT_EQ(parsed, c.mentions == nullptr) << c.args[0] << ": " << error;
    EXPECT_NE(error.find(c.mentions ? c.mentions : ""), std::string::npos) << error;
    // Exactly one of the Wayland places where it parsed (both are refused together).
    EXPECT_EQ(options.window != options.background, parsed && c.program == SaverProgram::Wayland)
        << c.args[0];
  }
  EXPECT_EQ(SaverUsage(SaverProgram::Wayland).rfind("Usage: glimra-wayland ", 0), 0u);
  EXPECT_EQ(SaverUsage(SaverProgram::X11).find("--window "), std::string::npos);
}

TEST(X11WindowChoiceTest, Rules) {
  struct Case {
    const char* what;
    const char* windowId;
    bool root;
    const char* environment;
    bool ok;
    TargetKind kind;
    std::uint32_t id;
  };
  const std::vector<Case> cases = {
      {"nothing: own window", "", false, nullptr, true, TargetKind::OwnWindow, 0},
      {"variable without --root is ignored", "", false, "0x400001", true, TargetKind::OwnWindow, 0},
      {"--root without variable", "", true, nullptr, true, TargetKind::RootWindow, 0},
      {"--root with empty variable", "", true, "", true, TargetKind::RootWindow, 0},
      {"--root with hex variable", "", true, "0x400001", true, TargetKind::GivenWindow, 0x400001},
      {"--root with decimal variable", "", true, "4194305", true, TargetKind::GivenWindow,
       0x400001},
      {"--root with bad variable", "", true, "window", false, TargetKind::OwnWindow, 0},
      {"--window-id hex", "0x2A00005", false, nullptr, true, TargetKind::GivenWindow, 0x2A00005},
      {"--window-id decimal", "44040197", false, nullptr, true, TargetKind::GivenWindow, 0x2A00005},
      {"--window-id wins over --root", "0x77", true, "0x400001", true, TargetKind::GivenWindow,
       0x77},
      {"--window-id upper-case prefix", "0XfF", false, nullptr, true, TargetKind::GivenWindow,
       0xFF},
      {"--window-id zero", "0", false, nullptr, false, TargetKind::OwnWindow, 0},
      {"--window-id bare 0x", "0x", false, nullptr, false, TargetKind::OwnWindow, 0},
      {"--window-id junk", "0x12g", false, nullptr, false, TargetKind::OwnWindow, 0},
      {"--window-id negative", "-5", false, nullptr, false, TargetKind::OwnWindow, 0},
      {"--window-id beyond 32 bits", "0x100000000", false, nullptr, false, TargetKind::OwnWindow,
       0},
  };
  for (const Case& c : cases) {
    TargetChoice choice;
    std::string error;
    const bool ok = ChooseTargetWindow(c.windowId, c.root, c.environment, choice, error);
    EXPECT_EQ(ok, c.ok) << c.what;
    if (!ok) {
      EXPECT_FALSE(error.empty()) << c.what;
      continue;
    }
    EXPECT_EQ(choice.kind, c.kind) << c.what;
    if (c.kind == TargetKind::GivenWindow) {
      EXPECT_EQ(choice.windowId, c.id) << c.what;
    }
  }
}

TEST(X11PixelLookupTest, ChannelBytesFillTheVisualsMasks) {
  const ChannelMasks rgb888{0xFF0000, 0x00FF00, 0x0000FF};
  const ChannelMasks rgb565{0xF800, 0x07E0, 0x001F};
  EXPECT_EQ(PixelFromRgb(rgb888, 62, 128, 1), 0x3E8001u);
  EXPECT_EQ(PixelFromRgb(rgb565, 255, 255, 255), 0xFFFFu);
  EXPECT_EQ(PixelFromRgb(rgb565, 0, 0, 0), 0u);
  EXPECT_EQ(PixelFromRgb(rgb565, 128, 0, 0), 16u << 11);  // 128 * 31 / 255, rounded
  EXPECT_EQ(PixelFromRgb(rgb565, 0, 62, 0), 15u << 5);    // 62 * 63 / 255, rounded
}

// The scaled image against the plain definition: window pixel (x, y) shows frame pixel
// (x * 640 / width, y * 480 / height), and the frame is the tile enlarged or repeated.
TEST(X11PixelLookupTest, ScaledImageSamplesTheFrame) {
  std::vector<std::uint8_t> tile(kTileWidth * kTileHeight);
  for (std::size_t i = 0; i < tile.size(); ++i)
    tile[i] = static_cast<std::uint8_t>(i * 7 + i / 160);
  std::uint32_t pixels[kPaletteSize];
  for (int i = 0; i < kPaletteSize; ++i) pixels[i] = 0x10000u * i + 0x55u;
  struct Case {
    int width, height;
    bool enlarged;
    int bytesPerPixel;
  };
  const std::vector<Case> cases = {
      {640, 480, true, 4},  {640, 480, false, 4},  {1280, 960, true, 4}, {320, 240, false, 4},
      {1366, 768, true, 4}, {1366, 768, false, 2}, {7, 5, true, 2},      {1, 1, false, 4},
      {400, 300, false, 4}, {960, 720, false, 2},  {333, 250, true, 4},  {1001, 751, false, 4},
      {160, 120, true, 4},  {160, 120, true, 2},   {160, 120, false, 4}};
  for (const Case& c : cases) {
    const TileSampling sampling = MakeTileSampling(c.width, c.height, c.enlarged);
    const long stride = c.width * c.bytesPerPixel + 8;  // rows padded, as XImages may be
    std::vector<std::uint8_t> image(static_cast<std::size_t>(stride) * c.height);
    FillScaledImage(tile.data(), pixels, sampling, c.bytesPerPixel, image.data(), stride);
    int wrong = 0;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const long fx = static_cast<long>(x) * 640 / c.width;
        const long fy = static_cast<long>(y) * 480 / c.height;
        const long cell = c.enlarged ? (fy / 4) * kTileWidth + fx / 4
                                     : (fy % kTileHeight) * kTileWidth + fx % kTileWidth;
        std::uint32_t want = pixels[tile[cell]];
        std::uint32_t got;
        const std::uint8_t* at = image.data() + y * stride + x * c.bytesPerPixel;
        if (c.bytesPerPixel == 4) {
          std::memcpy(&got, at, 4);
        } else {
          std::uint16_t half;
          std::memcpy(&half, at, 2);
          got = half;
          want &= 0xFFFF;
        }
        if (got != want) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << c.width << "x" << c.height << (c.enlarged ? " enlarged" : " tiled");
  }
}

// Where the X server may scale the tile: whole enlargements only, up to the size at which its
// fixed-point steps could drift across a pixel's edge.
TEST(X11PixelLookupTest, ServerScalesOnlyWholeEnlargementsItMakesExactly) {
  struct Case {
    int width, height;
    bool enlarged;
    ServerScale want;
  };
  const std::vector<Case> cases = {
      {640, 480, true, {4, 4}},   {640, 480, false, {1, 1}},   {160, 120, true, {1, 1}},
      {1440, 1080, true, {9, 9}}, {800, 360, true, {5, 3}},    {1600, 1200, true, {10, 10}},
      {1760, 1320, true, {0, 0}}, {3200, 2400, false, {5, 5}}, {3840, 2880, false, {0, 0}},
      {1024, 768, true, {0, 0}},  {960, 720, false, {0, 0}},   {320, 240, false, {0, 0}},
      {0, 0, true, {0, 0}},       {800, 300, true, {0, 0}}};
  for (const Case& c : cases) {
    const ServerScale got = ExactServerScale(c.width, c.height, c.enlarged);
    EXPECT_EQ(got.across, c.want.across) << c.width << "x" << c.height;
    EXPECT_EQ(got.down, c.want.down) << c.width << "x" << c.height;
  }
}

}  // namespace
