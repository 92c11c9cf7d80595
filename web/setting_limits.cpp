#include "web/setting_limits.h"

#include "settings/saver_settings.h"

namespace {

constexpr std::int32_t kSpeedMax = 100;

std::int32_t Clamp(std::int32_t value, std::int32_t low, std::int32_t high) {
  return value < low ? low : value > high ? high : value;
}

// A speed reads as the file's unsigned value, so a stored -1 is a large speed, shown at the end.
std::int32_t SpeedInRange(std::int32_t value) {
  const double speed = StoredIntToSpeed(static_cast<std::uint32_t>(value));
  return speed >= kSpeedMax ? kSpeedMax : static_cast<std::int32_t>(speed);
}

}  // namespace

std::int32_t ClampSettingValue(int key, std::int32_t value) {
  switch (key) {
    case 0:  // dx_r
    case 1:  // dx_g
    case 2:  // dx_b
      return SpeedInRange(value);
    case 3:  // one: any non-zero value shows as "enlarged"
      return value != 0 ? 1 : 0;
    case 4:  // pal: the saver runs a value outside the list as the animation
      return value >= PaletteFixed && value <= PaletteCherryBlossom ? value : PaletteAnimate;
    case 5:  // cir
      return Clamp(value, 0, 3);
    default:  // cycle
      return Clamp(value, 1, 20);
  }
}
