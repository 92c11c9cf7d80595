// The floor of what showing a frame costs the Wayland saver: the same options, surfaces, buffers,
// damage, frame callbacks and pace as glimra-wayland, but one unchanging picture, written once
// into each buffer, nothing composed, looked up or scaled. benchmarks/wayland-cpu-compare.sh
// measures glimra-wayland against it; input and SIGTERM end it as they end the saver.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/frame_rate.h"
#include "settings/saver_options.h"
#include "wayland/session.h"

namespace {

// Grey stripes over the picture's place, as often as a buffer is new.
class ConstantPainter : public Painter {
 public:
  explicit ConstantPainter(bool showFps) : showFps_(showFps) {}

  void MakeFrame() override {
    double perSecond = 0;
    if (showFps_ && CountShownFrame(count_, perSecond))
      std::fprintf(stderr, "wayland-floor: %.1f frames/s\n", perSecond);
  }

  void Paint(const PaintTarget& target) override {
    if (!target.firstPaint) return;
    for (int y = 0; y < target.place.height; ++y)
      std::memset(target.pixels + static_cast<long>(target.place.y + y) * target.stride +
                      target.place.x * 4,
                  (y / 8) % 2 ? 0x60 : 0x30, static_cast<std::size_t>(target.place.width) * 4);
  }

 private:
  bool showFps_;
  FrameRateCount count_;
};

}  // namespace

int main(int argc, char** argv) {
  SaverOptions options;
  std::string error;
  if (!ParseSaverOptions(SaverProgram::Wayland, argc, argv, options, error) || options.help) {
    std::fprintf(stderr, "wayland-floor: %s\n",
                 options.help ? "takes glimra-wayland's options" : error.c_str());
    return 1;
  }
  SessionOptions session;
  session.window = options.window;
  session.background = options.background;
  session.stretch = options.stretch;
  session.delayMicroseconds = options.delayMicroseconds;
  ConstantPainter painter(options.showFps);
  const SessionOutcome outcome = RunWaylandSession(session, painter);
  if (outcome.exitCode != 0) std::fprintf(stderr, "wayland-floor: %s\n", outcome.error.c_str());
  return outcome.exitCode;
}
