// The console display's state through the power-setting notification, whose registration is looked
// up at run time: the program also runs on Windows versions without it.
#include "host/display_power.h"

#include <cstring>

#include "host/system_procs.h"

namespace {

// The console display's state: 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;

typedef HPOWERNOTIFY(WINAPI* RegisterPowerSettingProc)(HANDLE, const GUID*, DWORD);
typedef BOOL(WINAPI* UnregisterPowerSettingProc)(HPOWERNOTIFY);

HPOWERNOTIFY registration = nullptr;
bool displayOff = false;

HMODULE User32() {
  return GetModuleHandleA("user32.dll");
}

}  // namespace

void WatchDisplayPower(HWND window) {
  auto registerSetting =
      FindProcedure<RegisterPowerSettingProc>(User32(), "RegisterPowerSettingNotification");
  if (registerSetting == nullptr) return;
  registration = registerSetting(window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void StopWatchingDisplayPower() {
  displayOff = false;
  if (registration == nullptr) return;
  auto unregisterSetting =
      FindProcedure<UnregisterPowerSettingProc>(User32(), "UnregisterPowerSettingNotification");
  if (unregisterSetting != nullptr) unregisterSetting(registration);
  registration = nullptr;
}

bool NoteDisplayPower(WPARAM event, LPARAM setting) {
  if (event != PBT_POWERSETTINGCHANGE || setting == 0) return false;
  const auto* change = reinterpret_cast<const POWERBROADCAST_SETTING*>(setting);
  if (std::memcmp(&change->PowerSetting, &kConsoleDisplayState, sizeof(GUID)) != 0) return false;
  if (change->DataLength < sizeof(DWORD)) return false;
  DWORD state = 0;
  std::memcpy(&state, change->Data, sizeof state);
  displayOff = state == kDisplayOff;
  return true;
}

bool DisplayIsOff() {
  return displayOff;
}
