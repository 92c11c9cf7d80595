// The eight user settings as one process-wide record, named by their INI keys.
// Loading and saving are declared in settings_store.h, beside their definition; this header is
// plain C++ so that the engine and the front-ends beyond Windows can read the record without any
// platform header or profile store.
#pragma once

#include <cstdint>

// The palette modes that `pal` selects.
enum PaletteMode : std::int32_t {
  PaletteFixed = 0,
  PaletteAnimate = 1,
  PaletteShift = 2,
  PaletteAutumnLeaves = 3,
  PaletteYoungLeaves = 4,
  PaletteWaterSurface = 5,
  PaletteCherryBlossom = 6,
};

struct SaverSettings {
  // Colour speeds: whole numbers as stored; the saver's set-up scales them by 0.01 in place.
  double dx_r = 5;
  double dx_g = 10;
  double dx_b = 3;
  std::int32_t one = 1;       // non-zero: the tile is enlarged; 0: it is repeated four by four
  std::int32_t pal = 1;       // palette mode (PaletteMode)
  std::int32_t cir = 1;       // 4 - cir rings are combined; other values combine none
  std::int32_t cycle = 1;     // ring period factor of the base table
  std::int32_t direct_x = 0;  // full screen through DirectDraw when non-zero
};

extern SaverSettings saverSettings;

constexpr char kSettingsFileName[] = "Tovalesk.ini";
constexpr char kSettingsSection[] = "Glimra ScreenSaver";

// A speed as the 32-bit integer the file stores: truncated toward zero, saturated at the ends of
// the integer's range (a file can hold speeds that no int32 holds, and converting those is
// undefined).
std::int32_t SpeedToStoredInt(double speed);
// A stored 32-bit profile value as a speed: taken as unsigned and converted exactly.
double StoredIntToSpeed(std::uint32_t stored);

// The ranges the configuration dialog offers, and a stored value as the dialog shows it (and so
// as OK stores it again): whole numbers at the nearest end of their range.
constexpr int kCirMin = 0, kCirMax = 3;
constexpr int kSpeedMin = 0, kSpeedMax = 100;
constexpr int kCycleMin = 1, kCycleMax = 20;
int ClampToRange(std::int32_t value, int low, int high);
// A speed as its trackbar position: any double the file yields, NaN included, to 0..100.
int SpeedPosition(double speed);
