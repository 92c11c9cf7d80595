// The system-services area of the fake. The clock is read without a record (a read changes
// nothing); the procedures the program looks up are the fake's own, recorded under their names,
// with results from ScriptResult under the same names.
#include "fake_win32/fake_system.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "fake_win32/fake_calls.h"
#include "fake_win32/fake_ledger.h"
#include "fake_win32/fake_window.h"

namespace {

constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

struct State {
  long long clockMicros = 0;
  DWORD refreshHz = 60;
  long long flipMicros = -1;  // -1: one period of the refresh rate
  std::set<std::string> missing;
  std::vector<HWND> powerWindows;
  DWORD displayPower = 1;
};

State& S() {
  static State state;
  return state;
}

const bool registered = RegisterFakeReset([] { S() = State{}; });

const HMODULE kUser32 = reinterpret_cast<HMODULE>(0x7E10000);
const HMODULE kShcore = reinterpret_cast<HMODULE>(0x7E20000);

std::int64_t Result(const std::string& name, std::int64_t ordinary) {
  TakeScriptedResult(name, &ordinary);
  return ordinary;
}

void SendPowerState(HWND window, DWORD state) {
  POWERBROADCAST_SETTING setting[2] = {};  // room for the state after the header
  setting[0].PowerSetting = kConsoleDisplayState;
  setting[0].DataLength = sizeof(DWORD);
  std::memcpy(setting[0].Data, &state, sizeof state);
  FakeSendMessage(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                  reinterpret_cast<LPARAM>(&setting[0]));
}

// ---- The procedures that only newer Windows versions have

BOOL WINAPI FakeSetProcessDpiAwarenessContext(HANDLE context) {
  RecordCall("SetProcessDpiAwarenessContext", {FakeNum(reinterpret_cast<INT_PTR>(context))});
  return static_cast<BOOL>(Result("SetProcessDpiAwarenessContext", TRUE));
}

HRESULT WINAPI FakeSetProcessDpiAwareness(int awareness) {
  RecordCall("SetProcessDpiAwareness", {FakeNum(awareness)});
  return static_cast<HRESULT>(Result("SetProcessDpiAwareness", S_OK));
}

BOOL WINAPI FakeSetProcessDPIAware() {
  RecordCall("SetProcessDPIAware");
  return TRUE;
}

HPOWERNOTIFY WINAPI FakeRegisterPowerSettingNotification(HANDLE recipient, const GUID* setting,
                                                         DWORD flags) {
  const bool display = std::memcmp(setting, &kConsoleDisplayState, sizeof(GUID)) == 0;
  RecordCall("RegisterPowerSettingNotification",
             {FakeHex(recipient), display ? "console display state" : "other", FakeHex(flags)});
  if (!display || flags != DEVICE_NOTIFY_WINDOW_HANDLE || !FakeWindowAlive(HWND(recipient)))
    return nullptr;
  HWND window = static_cast<HWND>(recipient);
  S().powerWindows.push_back(window);
  FakeHandOut("power notification", FakeKey(window));
  SendPowerState(window, S().displayPower);
  return static_cast<HPOWERNOTIFY>(recipient);
}

BOOL WINAPI FakeUnregisterPowerSettingNotification(HPOWERNOTIFY handle) {
  RecordCall("UnregisterPowerSettingNotification", {FakeHex(handle)});
  auto& windows = S().powerWindows;
  auto found = std::find(windows.begin(), windows.end(), static_cast<HWND>(handle));
  FakeTakeBack("power notification", FakeKey(handle));
  if (found == windows.end()) return FALSE;
  windows.erase(found);
  return TRUE;
}

template <typename Procedure>
FARPROC AsFarProc(Procedure procedure) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(procedure));
}

}  // namespace

// ---- Controls for the scenario tests

long long FakeClockMicros() {
  return S().clockMicros;
}
void FakeAdvanceClock(long long micros) {
  S().clockMicros += micros;
}
void FakeSetRefreshRate(DWORD hz) {
  S().refreshHz = hz;
}
void FakeSetFlipMicros(long long micros) {
  S().flipMicros = micros;
}
long long FakeFlipMicros() {
  if (S().flipMicros >= 0) return S().flipMicros;
  const DWORD hz = S().refreshHz > 1 ? S().refreshHz : 60;
  return (1000000 + hz - 1) / hz;
}
void FakeMissingProcedure(const std::string& name) {
  S().missing.insert(name);
}
void FakeSetDisplayPower(DWORD state) {
  S().displayPower = state;
  const std::vector<HWND> windows = S().powerWindows;
  for (HWND window : windows) SendPowerState(window, state);
}
int FakePowerRegistrations() {
  return static_cast<int>(S().powerWindows.size());
}

// ---- user32, kernel32, winmm

BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNumber, DEVMODEA* mode) {
  RecordCall("EnumDisplaySettingsA",
             {FakeText(deviceName), FakeHex(modeNumber), FakeNum(mode->dmSize)});
  if (!Result("EnumDisplaySettingsA", TRUE)) return FALSE;
  mode->dmPelsWidth = static_cast<DWORD>(FakeScreenWidth());
  mode->dmPelsHeight = static_cast<DWORD>(FakeScreenHeight());
  mode->dmDisplayFrequency = S().refreshHz;
  return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  count->QuadPart = S().clockMicros;
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = 1000000;
  return TRUE;
}

UINT timeBeginPeriod(UINT period) {
  RecordCall("timeBeginPeriod", {FakeNum(period)});
  FakeHandOut("timer resolution", period);
  return TIMERR_NOERROR;
}

UINT timeEndPeriod(UINT period) {
  RecordCall("timeEndPeriod", {FakeNum(period)});
  FakeTakeBack("timer resolution", period);
  return TIMERR_NOERROR;
}

HMODULE GetModuleHandleA(LPCSTR name) {
  RecordCall("GetModuleHandleA", {FakeText(name)});
  return name != nullptr && std::strcmp(name, "user32.dll") == 0 ? kUser32 : nullptr;
}

HMODULE LoadLibraryA(LPCSTR name) {
  RecordCall("LoadLibraryA", {FakeText(name)});
  if (name == nullptr || std::strcmp(name, "shcore.dll") != 0 || S().missing.count(name))
    return nullptr;
  FakeHandOut("module", FakeKey(kShcore));
  return kShcore;
}

BOOL FreeLibrary(HMODULE module) {
  RecordCall("FreeLibrary", {FakeHex(module)});
  return FakeTakeBack("module", FakeKey(module));
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  RecordCall("GetProcAddress", {FakeHex(module), FakeText(name)});
  const std::string wanted = FakeText(name);
  if (S().missing.count(wanted)) return nullptr;
  if (module == kUser32) {
    if (wanted == "SetProcessDpiAwarenessContext")
      return AsFarProc(FakeSetProcessDpiAwarenessContext);
    if (wanted == "SetProcessDPIAware") return AsFarProc(FakeSetProcessDPIAware);
    if (wanted == "RegisterPowerSettingNotification")
      return AsFarProc(FakeRegisterPowerSettingNotification);
    if (wanted == "UnregisterPowerSettingNotification")
      return AsFarProc(FakeUnregisterPowerSettingNotification);
  }
  if (module == kShcore && wanted == "SetProcessDpiAwareness")
    return AsFarProc(FakeSetProcessDpiAwareness);
  return nullptr;
}
