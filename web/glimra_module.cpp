// The page's way into the engine: a run started from the seven picture settings, frame steps at
// the tile's resolution, and the tile turned into RGBA pixels through the current palette.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstring>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/palette.h"
#include "settings/saver_settings.h"

namespace {

// The palette in the DirectDraw order (red, green, blue, flags): the bytes the saver hands over.
PaletteEntries entries;
// ringTile through the palette, four bytes a cell (red, green, blue, opaque) for an ImageData.
std::uint8_t tileRgba[kTileHeight * kTileWidth * 4];

}  // namespace

extern "C" {

// A new run with these settings, as the saver's start-up makes it: the engine back at program
// start, the speeds as the settings file holds them (whole numbers), then the engine's start.
EMSCRIPTEN_KEEPALIVE void GlimraStart(int cycle, int cir, int pal, int one, int dxR, int dxG,
                                      int dxB) {
  saverSettings.cycle = cycle;
  saverSettings.cir = cir;
  saverSettings.pal = pal;
  saverSettings.one = one;
  saverSettings.dx_r = dxR;
  saverSettings.dx_g = dxG;
  saverSettings.dx_b = dxB;
  ResetEngine();
  StartEngine(entries, EntryLayoutPaletteEntry);
}

// `count` frame steps (palette, then the tile alone: the page scales the tile itself).
EMSCRIPTEN_KEEPALIVE void GlimraStep(int count) {
  for (int i = 0; i < count; ++i) StepFrame(entries, EntryLayoutPaletteEntry, FrameOutputTile);
}

// The current tile as RGBA bytes; the address stays the same for the whole session.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* GlimraTileRgba() {
  std::uint32_t colours[kPaletteSize];
  for (int i = 0; i < kPaletteSize; ++i) {
    const std::uint8_t rgba[4] = {entries[i][0], entries[i][1], entries[i][2], 0xFF};
    std::memcpy(&colours[i], rgba, 4);
  }
  auto* out = reinterpret_cast<std::uint32_t*>(tileRgba);
  for (int i = 0; i < kTileHeight * kTileWidth; ++i) out[i] = colours[ringTile[i]];
  return tileRgba;
}

// A whole-number setting from the address or the browser's storage, brought into the dialog's
// range the way the dialog shows a settings file's value. `key` is the setting's place in the
// address and in GlimraStart: cycle, cir, pal, one, dx_r, dx_g, dx_b.
EMSCRIPTEN_KEEPALIVE int GlimraClampSetting(int key, int value) {
  switch (key) {
    case 0:  // cycle
      return ClampToRange(value, kCycleMin, kCycleMax);
    case 1:  // cir
      return ClampToRange(value, kCirMin, kCirMax);
    case 2:  // pal: the saver runs a value outside the list as the animation
      return value >= PaletteFixed && value <= PaletteCherryBlossom ? value : PaletteAnimate;
    case 3:  // one: any non-zero value shows as "enlarged"
      return value != 0 ? 1 : 0;
    default:  // dx_r, dx_g, dx_b: a speed reads as the file's unsigned value, so a stored -1 is
              // a large speed
      return SpeedPosition(StoredIntToSpeed(static_cast<std::uint32_t>(value)));
  }
}

}  // extern "C"
