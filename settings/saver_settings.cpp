#include "settings/saver_settings.h"

#include <cmath>

SaverSettings saverSettings;

std::int32_t SpeedToStoredInt(double speed) {
  if (std::isnan(speed)) return 0;
  if (speed >= 2147483647.0) return INT32_MAX;
  if (speed <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(speed);  // truncates toward zero
}

double StoredIntToSpeed(std::uint32_t stored) {
  return static_cast<double>(stored);
}

int ClampToRange(std::int32_t value, int low, int high) {
  return value < low ? low : value > high ? high : static_cast<int>(value);
}

// A stored -1 reads as 4294967295.0, and converting an out-of-range double to int is undefined,
// so the clamp happens in floating point and only the in-range value is truncated.
int SpeedPosition(double speed) {
  if (!(speed >= kSpeedMin)) return kSpeedMin;  // also catches NaN
  if (speed >= kSpeedMax) return kSpeedMax;
  return static_cast<int>(speed);  // truncates toward zero
}
