// glimra-wayland: the saver's frames (palette step when `pal` is non-zero, then the composition,
// as the Windows saver's timer makes them) on every output of a Wayland desktop, as a wallpaper
// under its windows (--background), or in one window. The 640 x 480 frame itself is never made:
// each output's pixels come straight from the tile it would be spread from. Exit: 0 on the input
// that ends a saver (or when its window or every surface is closed), 1 on a bad option or without
// a usable display, and by the signal itself on SIGTERM, SIGINT or SIGHUP.
#include <signal.h>

#include <cstdio>
#include <string>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/frame_rate.h"
#include "engine/palette.h"
#include "engine/pixel_lookup.h"
#include "settings/saver_options.h"
#include "settings/saver_settings.h"
#include "wayland/session.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "glimra-wayland: %s\n", message.c_str());
  return 1;
}

// The engine's frames, looked up in XRGB8888 and spread over each output's picture.
class RingPainter : public Painter {
 public:
  RingPainter(PaletteEntries entries, bool showFps) : entries_(entries), showFps_(showFps) {}

  void MakeFrame() override {
    StepFrame(entries_, EntryLayoutRgbQuad, FrameOutputTile);
    BuildPixelTable({0xFF0000, 0x00FF00, 0x0000FF}, entries_, pixels_);
    double perSecond = 0;
    if (showFps_ && CountShownFrame(count_, perSecond))
      std::fprintf(stderr, "glimra-wayland: %.1f frames/s\n", perSecond);
  }

  void Paint(const PaintTarget& target) override {
    std::uint8_t* picture =
        target.pixels + static_cast<long>(target.place.y) * target.stride + target.place.x * 4;
    FillScaledImage(ringTile, pixels_, target.sampling, 4, picture, target.stride);
  }

 private:
  std::uint8_t (*entries_)[4];
  bool showFps_;
  std::uint32_t pixels_[kPaletteSize] = {};
  FrameRateCount count_;
};

}  // namespace

int main(int argc, char** argv) {
  SaverOptions options;
  std::string error;
  if (!ParseSaverOptions(SaverProgram::Wayland, argc, argv, options, error)) return Fail(error);
  if (options.help) {
    std::fputs(SaverUsage(SaverProgram::Wayland).c_str(), stdout);
    return 0;
  }
  // The saver's set-up: settings, then the engine's start.
  static PaletteEntries entries = {};
  saverSettings = SettingsFromOptions(options);
  StartEngine(entries);

  SessionOptions session;
  session.window = options.window;
  session.background = options.background;
  session.stretch = options.stretch;
  session.enlarged = saverSettings.one != 0;
  session.delayMicroseconds = options.delayMicroseconds;
  RingPainter painter(entries, options.showFps);
  const SessionOutcome outcome = RunWaylandSession(session, painter);
  if (outcome.signal != 0) {
    // Ended by the signal itself, as the one who sent it expects; it was held for the loop.
    signal(outcome.signal, SIG_DFL);
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, outcome.signal);
    sigprocmask(SIG_UNBLOCK, &held, nullptr);
    raise(outcome.signal);
  }
  if (outcome.exitCode != 0) return Fail(outcome.error);
  return 0;
}
