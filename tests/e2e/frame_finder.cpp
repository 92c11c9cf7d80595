// glimra-frame-finder: tells which frame of a run a screenshot shows. It makes the run's frames
// from the engine exactly as the saver does (palette step when `pal` is non-zero, then the
// composition) and compares each, turned into colours, with a 640 x 480 RGB screenshot; it prints
// the number of the first frame that matches (1 is the first frame composed) and exits 0, or
// exits 1 when none of the first MAX frames matches.
// Usage: glimra-frame-finder INI SCREENSHOT.rgb MAX top-down|bottom-up
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/engine.h"
#include "render/render_start.h"

namespace {

using Rgb = std::vector<std::uint8_t>;

// True when every pixel of the frame, in the palette's colours, equals the screenshot; the GDI
// frame is a bottom-up DIB, so its row 0 is the screenshot's last row.
bool Matches(const std::uint8_t* frame, const PaletteEntries entries, const Rgb& shot,
             bool bottomUp) {
  for (int y = 0; y < kFrameHeight; ++y) {
    const int shotRow = bottomUp ? kFrameHeight - 1 - y : y;
    const std::uint8_t* in = frame + y * kFrameWidth;
    const std::uint8_t* out = shot.data() + shotRow * kFrameWidth * 3;
    for (int x = 0; x < kFrameWidth; ++x) {
      const std::uint8_t* e = entries[in[x]];  // RGBQUAD: blue, green, red
      if (out[3 * x] != e[2] || out[3 * x + 1] != e[1] || out[3 * x + 2] != e[0]) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: glimra-frame-finder INI SCREENSHOT.rgb MAX top-down|bottom-up\n");
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  const Rgb shot((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (shot.size() != static_cast<std::size_t>(kFrameBytes) * 3) {
    std::fprintf(stderr, "glimra-frame-finder: '%s' is not a 640x480 RGB picture\n", argv[2]);
    return 2;
  }
  const long max = std::atol(argv[3]);
  const bool bottomUp = std::strcmp(argv[4], "bottom-up") == 0;

  // The saver's set-up, in its order.
  static PaletteEntries entries = {};
  std::vector<std::uint8_t> frame;
  StartRendering(argv[1], entries, frame);

  for (long k = 1; k <= max; ++k) {
    StepFrame(entries);
    if (Matches(frame.data(), entries, shot, bottomUp)) {
      std::printf("%ld\n", k);
      return 0;
    }
  }
  return 1;
}
