// Helpers for the scenario tests: see host_scenario.h.
#include "host_scenario.h"

#include <gtest/gtest.h>

#include "display/display_resources.h"
#include "engine/compose.h"
#include "engine/engine.h"
#include "host/cover_windows.h"
#include "host/display_power.h"
#include "host/frame_pace.h"
#include "host/run_saver.h"
#include "host/saver_state.h"
#include "host/saver_window.h"
#include "host/window_placement.h"
#include "settings/saver_settings.h"
#include "settings_file.h"

void FreshProcess(const std::string& keys) {
  // A run the previous test left unfinished gives back its pace and power registration first.
  StopFramePace();
  StopWatchingDisplayPower();
  ResetFake();
  FakeSetScreenSize(1024, 768);
  FakeSetCursorPos(100, 100);
  UseFreshSettingsFile();
  if (!keys.empty()) {
    std::string text = "[Glimra ScreenSaver]\n" + keys + "\n";
    WriteSettingsFile(text);
  }
  currentMode = ModeConfigure;
  saverWindow = nullptr;
  coverWindowCount = 0;
  mouseMoveCount = 0;
  lastCursorPos = POINT{};
  displayResources = DisplayResources{};
  windowPlacements = WindowPlacementList{};
  framePixels = nullptr;
  framePitch = kFrameWidth;
  ResetEngine();
}

int RunSaverWith(const std::string& tail) {
  try {
    return RunSaver(TestInstance(), tail.c_str(), SW_SHOWNORMAL);
  } catch (const FakeHang& hang) {
    ADD_FAILURE() << hang.what();
    return -1;
  }
}

std::vector<std::string> CallsAmong(const std::vector<std::string>& names, int from) {
  std::vector<std::string> found;
  const auto& calls = FakeCalls();
  for (std::size_t i = from; i < calls.size(); ++i) {
    const FakeCall& call = calls[i];
    for (const std::string& name : names)
      if (call.name == name) found.push_back(FakeCallText(call));
  }
  return found;
}

std::vector<std::string> ArgsOf(const std::string& name, int n) {
  for (const FakeCall& call : FakeCalls())
    if (call.name == name && n-- == 0) return call.args;
  return {};
}

int IndexOf(const std::string& name, int from) {
  const auto& calls = FakeCalls();
  for (int i = from; i < static_cast<int>(calls.size()); ++i)
    if (calls[i].name == name) return i;
  return -1;
}

HINSTANCE TestInstance() {
  return reinterpret_cast<HINSTANCE>(0x400000);
}

HWND AddPreviewHost(int width, int height) {
  return FakeAddWindow(WS_CAPTION, RECT{200, 100, 200 + width, 100 + height});
}

std::string HandleText(HWND window) {
  return std::to_string(reinterpret_cast<std::intptr_t>(window));
}

void ScheduleInput(UINT message, WPARAM wParam, int idlePolls) {
  FakeSchedule([message, wParam] { FakePostInput(message, wParam); }, idlePolls);
}

void ScheduleKey(int idlePolls) {
  ScheduleInput(WM_KEYDOWN, 0x20, idlePolls);  // the space bar
}

void ScheduleTicks(int ticks, int idlePolls) {
  for (int i = 0; i < ticks; ++i) FakeSchedule(FakeTimerTick, idlePolls);
}
