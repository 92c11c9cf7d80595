// The windows-and-messages area of the test fake, as the scenario tests drive it: a window list
// (the program's windows and other programs' windows), a message queue with paint, timer and quit
// messages generated the way the platform does, a cursor, a screen whose size follows the display
// switch, and a schedule of outside events (input, timer ticks, a host destroying its window) that
// happen while the program waits or finds its queue empty.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <vector>

// Thrown when the program would wait for a message that can never come, or would poll an empty
// queue forever: a scenario test then fails instead of hanging.
struct FakeHang : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Another program's window; top-level unless `parent` is given. Its client area is the size of
// `rect`. New top-level windows go to the top of the z-order.
HWND FakeAddWindow(DWORD style, RECT rect, bool visible = true, bool iconic = false,
                   HWND parent = nullptr);
bool FakeWindowAlive(HWND window);
RECT FakeWindowRect(HWND window);
bool FakeWindowVisible(HWND window);
// Alive top-level windows, topmost first.
std::vector<HWND> FakeZOrder();
// The last window the program created (null before).
HWND FakeCreatedWindow();
// Destroys a window as its owner would, outside the program (no call is recorded); its children
// are destroyed with it.
void FakeDestroyFromOutside(HWND window);
// Runs `event` inside the next CreateWindowExA, after the new window's WM_CREATE, as another
// program acting at that moment would (a host closing its preview); if the new window is gone
// afterwards, the creation returns null.
void FakeDuringNextCreate(std::function<void()> event);

void FakeSetCursorPos(LONG x, LONG y);
void FakeSetScreenSize(int width, int height);  // the mode stored for the display
// Another monitor of this size, right of the primary and of the monitors added before it. Without
// any, the fake reports one monitor.
void FakeAddMonitor(int width, int height);
// Changes to the other monitors while the program runs, as a user or the hardware makes them:
// monitor `index` (0 for the first added) gets a new mode, a place of its own (screen
// coordinates; no longer in the row right of the primary), or goes away.
void FakeSetMonitorMode(int index, int width, int height);
void FakePlaceMonitor(int index, LONG x, LONG y);
void FakeRemoveMonitor(int index);
// WM_DISPLAYCHANGE to the program's top-level windows, as Windows sends it after any change to
// the monitors (Wine 8 sends none for changes made outside the program). Mode changes made through
// ChangeDisplaySettingsA and DirectDraw send it too.
void FakeDisplayChanged();
// The mode DirectDraw sets and restores (the fake's DirectDraw object calls these).
void FakeSetDisplayMode(int width, int height);
void FakeRestoreDisplayMode();
int FakeScreenWidth();
int FakeScreenHeight();

// Runs `event` once the program has found its queue empty `idlePolls` times in a row since the
// previous event, or at once when it waits for a message. Events run in the order given.
void FakeSchedule(std::function<void()> event, int idlePolls = 0);
// Input to the window that has the focus (or the program's last window).
void FakePostInput(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Input to `window` (the one under the cursor), whatever has the focus.
void FakePostInputTo(HWND window, UINT message, WPARAM wParam = 0);
// Every running timer becomes due once (the platform merges ticks that pile up).
void FakeTimerTick();
// A message the system sends to `window` (not recorded: the program makes no call).
LRESULT FakeSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Number of times PeekMessageA told the program that its queue was empty.
int FakeEmptyPolls();
// A cursor count below 0 hides the cursor.
int FakeCursorCount();
// Running timers as (window, identifier, milliseconds).
struct FakeTimer {
  HWND window;
  UINT_PTR id;
  UINT elapse;
  bool due;
};
std::vector<FakeTimer> FakeTimers();
