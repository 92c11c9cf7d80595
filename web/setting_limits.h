// A whole number from the address or the browser's storage brought into the dialog's range for
// its setting, the way the dialog shows a settings file's value.
#pragma once

#include <cstdint>

// `key` in the settings file's order: 0 dx_r, 1 dx_g, 2 dx_b, 3 one, 4 pal, 5 cir, 6 cycle.
std::int32_t ClampSettingValue(int key, std::int32_t value);
