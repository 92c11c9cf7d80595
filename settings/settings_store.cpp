// Loading and saving the eight settings through the platform's private-profile functions.
#include <windows.h>

#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

int ReadKey(const char* key, int defaultValue) {
  return static_cast<int>(
      GetPrivateProfileIntA(kSettingsSection, key, defaultValue, kSettingsFileName));
}

double ReadSpeed(const char* key, int defaultValue) {
  return StoredIntToSpeed(
      GetPrivateProfileIntA(kSettingsSection, key, defaultValue, kSettingsFileName));
}

void WriteKey(const char* key, int value) {
  char text[20];
  wsprintfA(text, "%d", value);
  WritePrivateProfileStringA(kSettingsSection, key, text, kSettingsFileName);
}

}  // namespace

void LoadSettings() {
  const SaverSettings defaults;
  saverSettings.dx_r = ReadSpeed("dx_r", static_cast<int>(defaults.dx_r));
  saverSettings.dx_g = ReadSpeed("dx_g", static_cast<int>(defaults.dx_g));
  saverSettings.dx_b = ReadSpeed("dx_b", static_cast<int>(defaults.dx_b));
  saverSettings.one = ReadKey("one", defaults.one);
  saverSettings.pal = ReadKey("pal", defaults.pal);
  saverSettings.cir = ReadKey("cir", defaults.cir);
  saverSettings.cycle = ReadKey("cycle", defaults.cycle);
  saverSettings.direct_x = ReadKey("direct_x", defaults.direct_x);
}

void SaveSettings() {
  WriteKey("dx_r", SpeedToStoredInt(saverSettings.dx_r));
  WriteKey("dx_g", SpeedToStoredInt(saverSettings.dx_g));
  WriteKey("dx_b", SpeedToStoredInt(saverSettings.dx_b));
  WriteKey("one", saverSettings.one);
  WriteKey("pal", saverSettings.pal);
  WriteKey("cir", saverSettings.cir);
  WriteKey("cycle", saverSettings.cycle);
  WriteKey("direct_x", saverSettings.direct_x);
}
