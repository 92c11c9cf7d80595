// Palette rules on plain arrays of 256 four-byte entries: the channel formula, the first palette,
// one palette step for every mode, and the scaling of the colour speeds. The hand-over of the
// entries to GDI or DirectDraw belongs to the display back-ends.
#pragma once

#include <cstdint>

#include "settings/saver_settings.h"  // PaletteMode, the values of `pal`

constexpr int kPaletteSize = 256;

// Where red, green and blue sit in a four-byte entry.
enum EntryLayout {
  EntryLayoutRgbQuad,       // GDI colour table: blue, green, red, reserved
  EntryLayoutPaletteEntry,  // DirectDraw palette: red, green, blue, flags
};

using PaletteEntries = std::uint8_t[kPaletteSize][4];

struct PaletteState {
  double phaseR;
  double phaseG;
  double phaseB;
};

// 3.1415926 / 6, / 2 and * 5 / 6, as exact literals (the first is one unit in the last place below
// the double nearest to the quotient).
constexpr double kStartPhaseR = 0.5235987666666666;
constexpr double kStartPhaseG = 1.5707963;
constexpr double kStartPhaseB = 2.6179938333333332;
constexpr double kPaletteIndexStep = 0.0245436921875;  // 3.1415926 / 128
constexpr std::uint8_t kHeldChannel = 128;

extern PaletteState paletteState;

// trunc((cos(i * K + phase) + 1) * 31): 0..62.
std::uint8_t PaletteChannel(int index, double phase);

// The first palette, from the start phases, all three channels computed in every mode. In the
// PALETTEENTRY layout the flags byte is 0; the RGBQUAD reserved byte is left alone.
void BuildFirstPalette(PaletteEntries entries, EntryLayout layout);

// One palette step as `pal` says: rotation of entries 1..254 for PaletteShift, otherwise all 256
// entries recomputed from the current phases (held channels at 128), then the phases advanced.
// Values outside 0..6 act as PaletteAnimate; PaletteFixed changes nothing.
void StepPaletteEntries(PaletteEntries entries, EntryLayout layout);

// dx_r, dx_g and dx_b times 0.01, in place: from stored whole numbers to radians per step.
void ScalePhaseSpeeds();

// Puts the phases back to their start values (tests and tools that make several runs).
void ResetPaletteState();
