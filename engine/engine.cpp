// The start and the frame step shared by every front-end (see engine.h).
#include "engine/engine.h"

#include "engine/compose.h"
#include "engine/ring_tables.h"
#include "settings/saver_settings.h"

void StartEngine(PaletteEntries entries, EntryLayout layout) {
  if (entries != nullptr) BuildFirstPalette(entries, layout);
  BuildBaseTable(saverSettings.cycle);
  BuildWaveTable();
  ScalePhaseSpeeds();
}

void StepFrame(PaletteEntries entries, EntryLayout layout, FrameOutput output) {
  StepPaletteEntries(entries, layout);  // which leaves a fixed palette as it is
  if (output == FrameOutputTile)
    ComposeTile();
  else
    ComposeFrame();
}

void ResetEngine() {
  ResetComposition();
  ResetPaletteState();
}
