// The palette hand-over: the engine's rules work on 256 four-byte entries; here those entries are
// the DIB colour table (RGBQUAD) or a copy read from and written back to the DirectDraw palette
// object (PALETTEENTRY), which is the only store of the current colours in that mode.
#include "display/palette_handover.h"

#include "display/display_resources.h"
#include "engine/palette.h"
#include "host/saver_state.h"

namespace {

// The colour table is 256 RGBQUADs of four bytes, exactly the engine's entry array.
static_assert(sizeof(RGBQUAD) == 4 && sizeof(PALETTEENTRY) == 4, "four-byte entries");

PaletteEntries& ColorTableEntries() {
  return *reinterpret_cast<PaletteEntries*>(displayResources.colorTable);
}

void HandColorTableToDib() {
  SetDIBColorTable(displayResources.memoryDc, 0, kPaletteSize, displayResources.colorTable);
}

void InstallDirectDrawPalette() {
  PALETTEENTRY entries[kPaletteSize] = {};
  BuildFirstPalette(*reinterpret_cast<PaletteEntries*>(entries), EntryLayoutPaletteEntry);
  displayResources.palette = nullptr;
  // Only the object tells whether the palette exists; without one the run goes on unattached.
  displayResources.directDraw->CreatePalette(DDPCAPS_8BIT, entries, &displayResources.palette,
                                             nullptr);
  if (displayResources.palette != nullptr)
    displayResources.primarySurface->SetPalette(displayResources.palette);
}

void StepDirectDrawPalette() {
  // No palette object was made: there is nothing to read from or write to.
  if (displayResources.palette == nullptr) return;
  PALETTEENTRY entries[kPaletteSize] = {};
  // A failed read leaves no defined colours to work on, so this step is skipped whole (the
  // phases stay where they are).
  if (displayResources.palette->GetEntries(0, 0, kPaletteSize, entries) != DD_OK) return;
  StepPaletteEntries(*reinterpret_cast<PaletteEntries*>(entries), EntryLayoutPaletteEntry);
  displayResources.palette->SetEntries(0, 0, kPaletteSize, entries);
}

}  // namespace

void InstallFirstPalette() {
  if (currentMode == ModeDirectDraw) {
    InstallDirectDrawPalette();
    return;
  }
  if (displayResources.colorTable == nullptr) return;  // the header could not be allocated
  BuildFirstPalette(ColorTableEntries(), EntryLayoutRgbQuad);
  HandColorTableToDib();
}

void StepPalette() {
  if (currentMode == ModeDirectDraw) {
    StepDirectDrawPalette();
    return;
  }
  if (displayResources.colorTable == nullptr) return;
  StepPaletteEntries(ColorTableEntries(), EntryLayoutRgbQuad);
  HandColorTableToDib();
}
