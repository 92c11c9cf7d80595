// Fuzz target: arbitrary bytes as the settings file, loaded and used as the saver uses them: the
// ring tables built from `cycle`, the speeds scaled, then a few frames composed and palette steps
// taken with whatever values came out. Checks the frame and palette invariants on the way.
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/engine.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_profile_dir.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

constexpr int kFrames = 3;

// A frame after a composed tile holds only indices 1..254; with no ring to compose (`cir` outside
// 0..3) the tile is never written and a fresh run shows its zeros.
void CheckFrame(const std::vector<std::uint8_t>& frame) {
  const bool composes = static_cast<std::uint32_t>(saverSettings.cir) <= 3;
  if (composes) {
    FUZZ_CHECK(std::memchr(frame.data(), 0, frame.size()) == nullptr);
    FUZZ_CHECK(std::memchr(frame.data(), 255, frame.size()) == nullptr);
  } else {
    static const std::vector<std::uint8_t> zeros(kFrameBytes, 0);
    FUZZ_CHECK(frame == zeros);
  }
}

// Every channel is either computed (0..62) or held at 128; the shift keeps entries 0 and 255.
void CheckPalette(const PaletteEntries entries, const PaletteEntries before) {
  if (saverSettings.pal == PaletteShift || saverSettings.pal == PaletteFixed) {
    FUZZ_CHECK(std::memcmp(entries[0], before[0], 4) == 0);
    FUZZ_CHECK(std::memcmp(entries[255], before[255], 4) == 0);
    return;
  }
  for (int i = 0; i < kPaletteSize; ++i)
    for (int c = 0; c < 3; ++c) FUZZ_CHECK(entries[i][c] <= 62 || entries[i][c] == kHeldChannel);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzSettingsPath();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFuzzSettingsFile(data, size);
  saverSettings = SaverSettings{};
  LoadSettings();

  // A fresh run with whatever values came out; the DirectDraw layout's entries go along.
  ResetEngine();
  PaletteEntries quad, entry;
  StartEngine(quad);
  BuildFirstPalette(entry, EntryLayoutPaletteEntry);

  std::vector<std::uint8_t> frame(kFrameBytes, 0);
  framePixels = frame.data();
  framePitch = kFrameWidth;
  for (int i = 0; i < kFrames; ++i) {
    PaletteEntries before;
    std::memcpy(before, entry, sizeof before);
    StepPaletteEntries(entry, EntryLayoutPaletteEntry);
    CheckPalette(entry, before);
    std::memcpy(before, quad, sizeof before);
    StepFrame(quad);
    CheckPalette(quad, before);
    CheckFrame(frame);
  }
  framePixels = nullptr;
  return 0;
}
