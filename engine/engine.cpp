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
  if (saverSettings.pal != PaletteFixed) StepPaletteEntries(entries, layout);
  if (output == FrameOutputTile)
    ComposeTile();
  else
    ComposeFrame();
}

void ResetEngine() {
  ResetComposition();
  ResetPaletteState();
}
