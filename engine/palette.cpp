#include "engine/palette.h"

#include <cmath>
#include <cstring>

#include "settings/saver_settings.h"

PaletteState paletteState = {kStartPhaseR, kStartPhaseG, kStartPhaseB};

namespace {

struct ChannelOffsets {
  int red;
  int green;
  int blue;
};

ChannelOffsets OffsetsFor(EntryLayout layout) {
  if (layout == EntryLayoutRgbQuad) return {2, 1, 0};
  return {0, 1, 2};
}

// Every colour a frame shows (indices 1..254) moves one index up; 254 wraps to 1.
void RotateEntries(PaletteEntries entries) {
  std::uint8_t kept[4];
  std::memcpy(kept, entries[254], 4);
  std::memmove(entries[2], entries[1], 253 * 4);
  std::memcpy(entries[1], kept, 4);
}

}  // namespace

std::uint8_t PaletteChannel(int index, double phase) {
  const double x = index * kPaletteIndexStep;
  return static_cast<std::uint8_t>(static_cast<int>((std::cos(x + phase) + 1.0) * 31.0));
}

void BuildFirstPalette(PaletteEntries entries, EntryLayout layout) {
  const ChannelOffsets at = OffsetsFor(layout);
  for (int i = 0; i < kPaletteSize; ++i) {
    entries[i][at.red] = PaletteChannel(i, kStartPhaseR);
    entries[i][at.green] = PaletteChannel(i, kStartPhaseG);
    entries[i][at.blue] = PaletteChannel(i, kStartPhaseB);
    if (layout == EntryLayoutPaletteEntry) entries[i][3] = 0;
  }
}

void StepPaletteEntries(PaletteEntries entries, EntryLayout layout) {
  const std::int32_t pal = saverSettings.pal;
  if (pal == PaletteFixed) return;
  if (pal == PaletteShift) {
    RotateEntries(entries);
    return;
  }
  const bool holdRed = pal == PaletteAutumnLeaves || pal == PaletteCherryBlossom;
  const bool holdGreen = pal == PaletteYoungLeaves;
  const bool holdBlue = pal == PaletteWaterSurface || pal == PaletteCherryBlossom;
  const ChannelOffsets at = OffsetsFor(layout);
  // All 256 entries use the phases as they were at the start of the step.
  for (int i = 0; i < kPaletteSize; ++i) {
    entries[i][at.red] = holdRed ? kHeldChannel : PaletteChannel(i, paletteState.phaseR);
    entries[i][at.green] = holdGreen ? kHeldChannel : PaletteChannel(i, paletteState.phaseG);
    entries[i][at.blue] = holdBlue ? kHeldChannel : PaletteChannel(i, paletteState.phaseB);
  }
  // Green runs the other way; held channels advance too.
  paletteState.phaseR += saverSettings.dx_r;
  paletteState.phaseG -= saverSettings.dx_g;
  paletteState.phaseB += saverSettings.dx_b;
}

void ScalePhaseSpeeds() {
  saverSettings.dx_r *= 0.01;
  saverSettings.dx_g *= 0.01;
  saverSettings.dx_b *= 0.01;
}

void ResetPaletteState() {
  paletteState = {kStartPhaseR, kStartPhaseG, kStartPhaseB};
}
