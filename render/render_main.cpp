// glimra-render: makes the saver's frames without a window, exactly as the GDI timer does (palette
// step when `pal` is non-zero, then ComposeFrame), and writes the last frame as a PNG and/or all
// of them as an animated GIF. Exit codes: 0 done, 1 a write failed midway, 2 bad arguments.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/engine.h"
#include "render/gif_writer.h"
#include "render/output_file.h"
#include "render/png_writer.h"
#include "render/render_options.h"
#include "render/render_start.h"

namespace {

constexpr int kExitWriteFailed = 1;
constexpr int kExitBadArguments = 2;
// GIFs of at least this many frames report their progress.
constexpr long kProgressFrames = 100;

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "glimra-render: %s\n", message.c_str());
  return code;
}

void ShowProgress(long done, long total) {
  if (total < kProgressFrames) return;
  // On a terminal about a hundred updates rewrite one line; in a log, ten lines.
  static const bool terminal = isatty(STDERR_FILENO) != 0;
  const long every = terminal ? total / 100 : total / 10;
  if (done != total && done % every != 0) return;
  std::fprintf(stderr, "%sglimra-render: frame %ld of %ld%s", terminal ? "\r" : "", done, total,
               terminal && done != total ? "" : "\n");
}

struct Outputs {
  std::FILE* png = nullptr;
  OutputFile pngFile;
  GifFileType* gif = nullptr;
  OutputFile gifFile;
};

// Both outputs are opened before any work, so that an unwritable path is an argument error. When
// one cannot be used, nothing opened is left behind.
bool OpenOutputs(const RenderOptions& options, Outputs& outputs, std::string& error) {
  if (!options.pngPath.empty()) {
    if ((outputs.png = std::fopen(options.pngPath.c_str(), "wb")) == nullptr) {
      error = "cannot write '" + options.pngPath + "'";
      return false;
    }
    outputs.pngFile = NoteOutput(options.pngPath);
  }
  bool usable = options.gifPath.empty() || OpenGif(options.gifPath, outputs.gif, error);
  if (outputs.gif) outputs.gifFile = NoteOutput(options.gifPath);
  // Two writers on one file would each overwrite the other's picture.
  if (usable && SameFile(outputs.pngFile, outputs.gifFile)) {
    CloseGif(outputs.gif, error);
    error = "--out and --gif name the same file";
    usable = false;
  }
  if (!usable && outputs.png) {
    std::fclose(outputs.png);
    RemoveHalfWritten(outputs.pngFile);
  }
  return usable;
}

}  // namespace

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, options, error)) return Fail(kExitBadArguments, error);
  if (options.help) {
    std::fputs(kRenderUsage, stdout);
    return 0;
  }

  Outputs outputs;
  if (!OpenOutputs(options, outputs, error)) return Fail(kExitBadArguments, error);
  std::FILE* png = outputs.png;
  GifFileType* gif = outputs.gif;

  static PaletteEntries entries = {};
  std::vector<std::uint8_t> frame;
  StartRendering(options.iniPath, entries, frame);

  bool ok = true;
  for (long i = 1; i <= options.frames && ok; ++i) {
    StepFrame(entries);
    if (gif) {
      ok = AddGifFrame(gif, framePixels, framePitch, entries, EntryLayoutRgbQuad, error);
      ShowProgress(i, options.frames);
    }
  }
  if (gif && !CloseGif(gif, error)) ok = false;
  if (png) {
    if (ok) ok = WriteIndexedPng(png, framePixels, framePitch, entries, EntryLayoutRgbQuad, error);
    if (std::fclose(png) != 0 && ok) {
      ok = false;
      error = "writing '" + options.pngPath + "' failed";
    }
  }
  if (!ok) {
    // A half-written picture is worse than none.
    RemoveHalfWritten(outputs.pngFile);
    RemoveHalfWritten(outputs.gifFile);
    return Fail(kExitWriteFailed, error);
  }
  return 0;
}
