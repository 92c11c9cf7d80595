#include "web/setting_limits.h"

#include "settings/saver_settings.h"

std::int32_t ClampSettingValue(int key, std::int32_t value) {
  switch (key) {
    case 0:  // dx_r
    case 1:  // dx_g
    case 2:  // dx_b
      // A speed reads as the file's unsigned value, so a stored -1 is a large speed.
      return SpeedPosition(StoredIntToSpeed(static_cast<std::uint32_t>(value)));
    case 3:  // one: any non-zero value shows as "enlarged"
      return value != 0 ? 1 : 0;
    case 4:  // pal: the saver runs a value outside the list as the animation
      return value >= PaletteFixed && value <= PaletteCherryBlossom ? value : PaletteAnimate;
    case 5:  // cir
      return ClampToRange(value, kCirMin, kCirMax);
    default:  // cycle
      return ClampToRange(value, kCycleMin, kCycleMax);
  }
}
