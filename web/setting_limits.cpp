#include "web/setting_limits.h"

// TEMPORARY until settings/ provides the dialog's conversions.
std::int32_t ClampSettingValue(int key, std::int32_t value) {
  auto clamp = [](std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return static_cast<std::int32_t>(v < lo ? lo : v > hi ? hi : v);
  };
  switch (key) {
    case 0:
    case 1:
    case 2:
      return clamp(static_cast<std::uint32_t>(value), 0, 100);
    case 3:
      return value != 0 ? 1 : 0;
    case 4:
      return value >= 0 && value <= 6 ? value : 1;
    case 5:
      return clamp(value, 0, 3);
    default:
      return clamp(value, 1, 20);
  }
}
