// glimra-render run as a program: its argument errors, and its PNG and GIF decoded again and
// compared with the engine's own frames and palettes for the same settings.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/engine.h"
#include "process_folder.h"
#include "render/render_start.h"

namespace {

struct RunResult {
  int exitCode = -1;
  std::string stderrText;
};

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// What a path itself names: 'f' a plain file, 'l' a link, 'c' a character device, '-' nothing.
char KindOf(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return '-';
  if (S_ISLNK(info.st_mode)) return 'l';
  if (S_ISCHR(info.st_mode)) return 'c';
  return S_ISREG(info.st_mode) ? 'f' : '?';
}

// `shellPrefix` runs before the program in the same shell (limits, ignored signals).
RunResult RunRender(const std::vector<std::string>& args, const std::string& shellPrefix = "") {
  std::string command = shellPrefix + "'" GLIMRA_RENDER "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  const std::string errPath = ProcessFolder() + "/stderr.txt";
  command += " >/dev/null 2>'" + errPath + "'";
  const int status = std::system(command.c_str());
  RunResult result;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.stderrText = ReadText(errPath);
  return result;
}

// ---- argument errors ----

struct BadArguments {
  const char* what;
  std::vector<std::string> args;
  const char* mentions;  // part of the one-line message
};

TEST(RenderArgumentsTest, BadArgumentsGiveOneLineAndExitCode2) {
  const std::string out = ProcessFolder() + "/bad.png";
  const std::string link = ProcessFolder() + "/bad-link.gif";
  ASSERT_EQ(symlink(out.c_str(), link.c_str()), 0);
  const std::vector<BadArguments> cases = {
      {"no output", {"--frames", "3"}, "nothing to write"},
      {"--frames without value", {"--out", out, "--frames"}, "--frames needs a value"},
      {"--out without value", {"--out"}, "--out needs a value"},
      {"--gif without value", {"--out", out, "--gif"}, "--gif needs a value"},
      {"--ini without value", {"--out", out, "--ini"}, "--ini needs a value"},
      {"non-numeric N", {"--frames", "ten", "--out", out}, "'ten'"},
      {"N with junk", {"--frames", "12x", "--out", out}, "'12x'"},
      {"N zero", {"--frames", "0", "--out", out}, "'0'"},
      {"N negative", {"--frames", "-4", "--out", out}, "'-4'"},
      {"N empty", {"--frames=", "--out", out}, "''"},
      {"N beyond long", {"--frames", "99999999999999999999999", "--out", out}, "999"},
      {"unknown option", {"--fps", "--out", out}, "unknown argument '--fps'"},
      {"PNG in a missing folder", {"--out", "/nonexistent-dir/x.png"}, "/nonexistent-dir/x.png"},
      {"PNG path is a folder", {"--out", ProcessFolder()}, "cannot write"},
      {"GIF in a missing folder",
       {"--out", out, "--gif", "/nonexistent-dir/x.gif"},
       "/nonexistent-dir/x.gif"},
      {"PNG and GIF one file", {"--out", out, "--gif", out}, "the same file"},
      {"PNG and GIF one file through a link", {"--out", out, "--gif", link}, "the same file"},
  };
  for (const BadArguments& c : cases) {
    const RunResult run = RunRender(c.args);
    EXPECT_EQ(run.exitCode, 2) << c.what;
    EXPECT_EQ(run.stderrText.rfind("glimra-render: ", 0), 0u) << c.what << ": " << run.stderrText;
    EXPECT_EQ(run.stderrText.find('\n'), run.stderrText.size() - 1) << c.what << ": one line";
    EXPECT_NE(run.stderrText.find(c.mentions), std::string::npos)
        << c.what << ": " << run.stderrText;
    // Nothing is left behind, not even the PNG opened before the GIF failed.
    EXPECT_EQ(KindOf(out), '-') << c.what;
  }
}

// A write that fails midway ends with 1 and removes the half-written plain files, but never what a
// path names that is not the renderer's own file: a link, or the device behind it (as root,
// removing /dev/full itself).
struct FailedWrite {
  const char* what;
  const char* shellPrefix;
  const char* out;    // in the process folder, or nullptr: no --out
  const char* gif;    // likewise for --gif
  std::string kinds;  // KindOf of --out's path, then --gif's, then /dev/full
};

TEST(RenderArgumentsTest, FailedWriteRemovesOnlyItsOwnPlainFiles) {
  ASSERT_EQ(KindOf("/dev/full"), 'c') << "this test needs the character device /dev/full";
  const std::string folder = ProcessFolder() + "/";
  ASSERT_EQ(symlink("/dev/full", (folder + "full.png").c_str()), 0);
  ASSERT_EQ(symlink("/dev/full", (folder + "full.gif").c_str()), 0);
  // The shell's size limit is in 512-byte blocks; with SIGXFSZ ignored, a write beyond it fails.
  const char* limited = "trap '' XFSZ; ulimit -f 16; exec ";
  const std::vector<FailedWrite> cases = {
      {"PNG cut short by a size limit", limited, "cut.png", nullptr, "--c"},
      {"GIF cut short by a size limit", limited, nullptr, "cut.gif", "--c"},
      {"PNG to a full device through a link", "", "full.png", nullptr, "l-c"},
      {"GIF to a full device, PNG plain", "", "plain.png", "full.gif", "-lc"},
  };
  for (const FailedWrite& c : cases) {
    const std::string out = folder + (c.out ? c.out : "none");
    const std::string gif = folder + (c.gif ? c.gif : "none");
    std::vector<std::string> args = {"--frames", "3"};
    if (c.out) args.insert(args.end(), {"--out", out});
    if (c.gif) args.insert(args.end(), {"--gif", gif});
    const RunResult run = RunRender(args, c.shellPrefix);
    EXPECT_EQ(run.exitCode, 1) << c.what << ": " << run.stderrText;
    EXPECT_EQ(run.stderrText.rfind("glimra-render: ", 0), 0u) << c.what << ": " << run.stderrText;
    const std::string kinds = {KindOf(out), KindOf(gif), KindOf("/dev/full")};
    EXPECT_EQ(kinds, c.kinds) << c.what << " (--out, --gif, /dev/full)";
  }
}

TEST(RenderArgumentsTest, HelpExitsZero) {
  const RunResult run = RunRender({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.stderrText, "");
}

// ---- pictures ----

// The engine's frames for one settings file, made here as the GDI timer makes them.
struct EngineRun {
  std::vector<std::vector<std::uint8_t>> frames;
  std::vector<std::vector<std::uint8_t>> palettes;  // 256 x (red, green, blue) after each step
};

EngineRun RunEngine(const std::string& ini, int frameCount) {
  static PaletteEntries entries;
  std::vector<std::uint8_t> frame;
  StartRendering(ini, entries, frame);
  EngineRun run;
  for (int i = 0; i < frameCount; ++i) {
    StepFrame(entries);
    run.frames.push_back(frame);
    std::vector<std::uint8_t> rgb;
    for (const auto& entry : entries) rgb.insert(rgb.end(), {entry[2], entry[1], entry[0]});
    run.palettes.push_back(rgb);
  }
  return run;
}

struct DecodedPng {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0;
  std::vector<std::uint8_t> pixels;
  std::vector<std::uint8_t> palette;  // red, green, blue
};

bool ReadPng(const std::string& path, DecodedPng& png) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(reader);
  if (setjmp(png_jmpbuf(reader))) {
    png_destroy_read_struct(&reader, &info, nullptr);
    std::fclose(file);
    return false;
  }
  png_init_io(reader, file);
  png_read_info(reader, info);
  png_get_IHDR(reader, info, &png.width, &png.height, &png.bitDepth, &png.colourType, nullptr,
               nullptr, nullptr);
  png_colorp colours = nullptr;
  int count = 0;
  png_get_PLTE(reader, info, &colours, &count);
  for (int i = 0; i < count; ++i)
    png.palette.insert(png.palette.end(), {colours[i].red, colours[i].green, colours[i].blue});
  const png_size_t rowBytes = png_get_rowbytes(reader, info);
  png.pixels.resize(rowBytes * png.height);
  for (png_uint_32 row = 0; row < png.height; ++row)
    png_read_row(reader, png.pixels.data() + row * rowBytes, nullptr);
  png_destroy_read_struct(&reader, &info, nullptr);
  std::fclose(file);
  return true;
}

struct PictureCase {
  const char* what;
  const char* iniText;  // nullptr: no settings file at all
  int frames;
};

const std::vector<PictureCase> kPictureCases = {
    {"defaults, no file", nullptr, 1},
    {"defaults, a few frames", "", 7},
    {"shift, four rings, repeated tile, cycle 20",
     "[Glimra ScreenSaver]\r\npal=2\r\ncir=0\r\none=0\r\ncycle=20\r\n", 260},
    {"fixed palette, one ring, cycle 0", "[Glimra ScreenSaver]\r\npal=0\r\ncir=3\r\ncycle=0\r\n",
     5},
    {"cherry blossom, fast colours",
     "[Glimra ScreenSaver]\r\npal=6\r\ncir=2\r\ndx_r=100\r\ndx_g=0\r\ndx_b=77\r\n", 40},
    {"water surface, cir out of range", "[Glimra ScreenSaver]\r\npal=5\r\ncir=-1\r\n", 3},
};

std::string WriteIni(const PictureCase& c, int index) {
  const std::string path = ProcessFolder() + "/case" + std::to_string(index) + ".ini";
  std::remove(path.c_str());
  if (c.iniText) std::ofstream(path, std::ios::binary) << c.iniText;
  return path;
}

TEST(RenderPictureTest, PngHoldsTheLastFrameAndItsColourTable) {
  for (std::size_t i = 0; i < kPictureCases.size(); ++i) {
    const PictureCase& c = kPictureCases[i];
    const std::string ini = WriteIni(c, static_cast<int>(i));
    const std::string out = ProcessFolder() + "/case.png";
    const RunResult run =
        RunRender({"--ini", ini, "--frames", std::to_string(c.frames), "--out", out});
    ASSERT_EQ(run.exitCode, 0) << c.what << ": " << run.stderrText;
    DecodedPng png;
    ASSERT_TRUE(ReadPng(out, png)) << c.what;
    EXPECT_EQ(png.width, 640u) << c.what;
    EXPECT_EQ(png.height, 480u) << c.what;
    EXPECT_EQ(png.bitDepth, 8) << c.what;
    EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_PALETTE) << c.what;
    const EngineRun engine = RunEngine(ini, c.frames);
    EXPECT_TRUE(png.pixels == engine.frames.back()) << c.what << ": pixels differ";
    EXPECT_TRUE(png.palette == engine.palettes.back()) << c.what << ": PLTE differs";
  }
}

// The GIF's frames, each with its own colour map, its 50 ms delay, and the loop extension.
TEST(RenderPictureTest, GifHoldsEveryFrameWithItsOwnColourMap) {
  const PictureCase& c = kPictureCases[4];
  const std::string ini = WriteIni(c, 4);
  const std::string gifPath = ProcessFolder() + "/case.gif";
  const int frames = 6;
  const RunResult run =
      RunRender({"--ini", ini, "--frames", std::to_string(frames), "--gif", gifPath});
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(gifPath.c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  const EngineRun engine = RunEngine(ini, frames);
  ASSERT_EQ(gif->ImageCount, frames);
  EXPECT_EQ(gif->SColorMap, nullptr);
  for (int i = 0; i < frames; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    ASSERT_NE(image.ImageDesc.ColorMap, nullptr) << "frame " << i;
    ASSERT_EQ(image.ImageDesc.ColorMap->ColorCount, 256) << "frame " << i;
    std::vector<std::uint8_t> rgb;
    for (int k = 0; k < 256; ++k) {
      const GifColorType& colour = image.ImageDesc.ColorMap->Colors[k];
      rgb.insert(rgb.end(), {colour.Red, colour.Green, colour.Blue});
    }
    EXPECT_TRUE(rgb == engine.palettes[i]) << "frame " << i << ": colour map differs";
    const std::vector<std::uint8_t> pixels(image.RasterBits, image.RasterBits + kFrameBytes);
    EXPECT_TRUE(pixels == engine.frames[i]) << "frame " << i << ": pixels differ";
    GraphicsControlBlock control;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, 5) << "frame " << i;
  }
  // The loop extension comes with the first frame: "NETSCAPE2.0", then sub-block 1, count 0.
  const SavedImage& first = gif->SavedImages[0];
  bool loops = false;
  for (int k = 0; k + 1 < first.ExtensionBlockCount; ++k) {
    const ExtensionBlock& block = first.ExtensionBlocks[k];
    const ExtensionBlock& next = first.ExtensionBlocks[k + 1];
    if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
        std::string(reinterpret_cast<char*>(block.Bytes), 11) == "NETSCAPE2.0" &&
        next.ByteCount == 3 && next.Bytes[0] == 1 && next.Bytes[1] == 0 && next.Bytes[2] == 0)
      loops = true;
  }
  EXPECT_TRUE(loops);
  DGifCloseFile(gif, &error);
}

}  // namespace
