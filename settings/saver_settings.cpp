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
