// The windows-and-messages area of the fake: window classes, windows, the message queue, timers,
// cursor, display settings, window enumeration and placement, and the dialog box call. Messages
// come out in the platform's order: posted messages, then the quit message, then paint, then
// timer ticks; WM_CREATE and WM_DESTROY are sent inside CreateWindowExA and DestroyWindow.
#include "fake_win32/fake_window.h"

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <utility>

#include "fake_win32/fake_calls.h"
#include "fake_win32/fake_ledger.h"
#include "fake_win32/fake_system.h"

namespace {

struct Window {
  HWND handle;
  WNDPROC proc;  // null for other programs' windows
  HWND parent;
  DWORD style;
  RECT rect;
  bool visible;
  bool iconic;
  bool alive;
  bool needsPaint;
};

// A monitor other than the primary: right of the one before it in the row, or at a place of its
// own.
struct OtherMonitor {
  int width;
  int height;
  bool placed;
  POINT place;
};

struct ScheduledEvent {
  std::function<void()> action;
  int idlePolls;
};

struct State {
  std::map<std::string, WNDCLASSA> classes;
  std::vector<Window> windows;
  std::vector<HWND> zOrder;  // top-level, topmost first
  std::deque<MSG> posted;
  bool quitPosted = false;
  int quitCode = 0;
  std::vector<FakeTimer> timers;
  std::deque<ScheduledEvent> events;
  int emptyPollsInRow = 0;
  int emptyPolls = 0;
  POINT cursor = {100, 100};
  int cursorCount = 0;
  int storedWidth = 1024;
  int storedHeight = 768;
  int screenWidth = 1024;
  int screenHeight = 768;
  std::vector<OtherMonitor> otherMonitors;
  HWND focus = nullptr;
  HWND created = nullptr;
  std::function<void()> duringCreate;
  std::uintptr_t nextHandle = 0x10010;
};

State& S() {
  static State state;
  return state;
}

const bool registered = RegisterFakeReset([] { S() = State{}; });

// An empty-queue poll loop longer than this has no way out: the scenario gave no more events.
constexpr int kMaxEmptyPollsWithoutEvents = 100000;

Window* Find(HWND handle) {
  for (Window& w : S().windows)
    if (w.handle == handle && w.alive) return &w;
  return nullptr;
}

HWND NewHandle() {
  HWND handle = reinterpret_cast<HWND>(S().nextHandle);
  S().nextHandle += 0x10;
  return handle;
}

void RaiseToTop(HWND handle) {
  auto& z = S().zOrder;
  z.erase(std::remove(z.begin(), z.end(), handle), z.end());
  z.insert(z.begin(), handle);
}

LRESULT Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(handle);
  if (w == nullptr || w->proc == nullptr) return 0;
  return w->proc(handle, message, wParam, lParam);
}

void Destroy(HWND handle) {
  Window* w = Find(handle);
  if (w == nullptr) return;
  // WM_DESTROY reaches the window first, then its children; the window is gone afterwards.
  Send(handle, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  for (const Window& c : S().windows)
    if (c.alive && c.parent == handle) children.push_back(c.handle);
  for (HWND child : children) Destroy(child);
  if ((w = Find(handle)) != nullptr) w->alive = false;
  auto& timers = S().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [handle](const FakeTimer& t) { return t.window == handle; }),
               timers.end());
  auto& z = S().zOrder;
  z.erase(std::remove(z.begin(), z.end(), handle), z.end());
  if (S().focus == handle) S().focus = nullptr;
}

// The next message in the platform's order, taken out of the queue when `remove`.
bool NextMessage(MSG* msg, bool remove) {
  State& s = S();
  if (!s.posted.empty()) {
    *msg = s.posted.front();
    if (remove) s.posted.pop_front();
    return true;
  }
  if (s.quitPosted) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0, 0, {}};
    if (remove) s.quitPosted = false;
    return true;
  }
  for (const Window& w : s.windows)
    if (w.alive && w.needsPaint && w.proc != nullptr) {
      *msg = MSG{w.handle, WM_PAINT, 0, 0, 0, {}};
      return true;  // stays until the window is validated
    }
  for (FakeTimer& t : s.timers)
    if (t.due) {
      *msg = MSG{t.window, WM_TIMER, t.id, 0, 0, {}};
      if (remove) t.due = false;
      return true;
    }
  return false;
}

bool RunNextEvent() {
  State& s = S();
  if (s.events.empty()) return false;
  ScheduledEvent event = std::move(s.events.front());
  s.events.pop_front();
  s.emptyPollsInRow = 0;
  event.action();
  return true;
}

// The program blocks until a message is there: outside events happen meanwhile.
void WaitForMessage() {
  MSG msg;
  while (!NextMessage(&msg, false))
    if (!RunNextEvent()) throw FakeHang("the program waits for a message that never comes");
}

HWND InputTarget() {
  if (S().focus != nullptr && Find(S().focus) != nullptr) return S().focus;
  return S().created;
}

}  // namespace

// ---- Controls for the scenario tests

HWND FakeAddWindow(DWORD style, RECT rect, bool visible, bool iconic, HWND parent) {
  HWND handle = NewHandle();
  S().windows.push_back({handle, nullptr, parent, style, rect, visible, iconic, true, false});
  if (parent == nullptr) RaiseToTop(handle);
  return handle;
}

bool FakeWindowAlive(HWND window) {
  return Find(window) != nullptr;
}

RECT FakeWindowRect(HWND window) {
  const Window* w = Find(window);
  return w ? w->rect : RECT{};
}

bool FakeWindowVisible(HWND window) {
  const Window* w = Find(window);
  return w && w->visible;
}

std::vector<HWND> FakeZOrder() {
  return S().zOrder;
}
HWND FakeCreatedWindow() {
  return S().created;
}
void FakeDestroyFromOutside(HWND window) {
  Destroy(window);
}
void FakeDuringNextCreate(std::function<void()> event) {
  S().duringCreate = std::move(event);
}
void FakeSetCursorPos(LONG x, LONG y) {
  S().cursor = {x, y};
}

void FakeSetScreenSize(int width, int height) {
  S().storedWidth = S().screenWidth = width;
  S().storedHeight = S().screenHeight = height;
}
void FakeAddMonitor(int width, int height) {
  S().otherMonitors.push_back({width, height, false, {}});
}
void FakeSetMonitorMode(int index, int width, int height) {
  S().otherMonitors.at(index).width = width;
  S().otherMonitors.at(index).height = height;
}
void FakePlaceMonitor(int index, LONG x, LONG y) {
  S().otherMonitors.at(index).placed = true;
  S().otherMonitors.at(index).place = {x, y};
}
void FakeRemoveMonitor(int index) {
  auto& monitors = S().otherMonitors;
  monitors.erase(monitors.begin() + index);
}

void FakeDisplayChanged() {
  // Windows made or destroyed by the handling do not disturb the walk.
  std::vector<HWND> topLevel;
  for (const Window& w : S().windows)
    if (w.alive && w.parent == nullptr && w.proc != nullptr) topLevel.push_back(w.handle);
  const LPARAM size = MAKELPARAM(S().screenWidth, S().screenHeight);
  for (HWND window : topLevel) Send(window, WM_DISPLAYCHANGE, 8, size);
}

// DirectDraw's exclusive mode confines the cursor to the primary at its new size (Wine does); a
// cursor it moves makes a mouse-move message, as any move of the cursor does.
void FakeSetDisplayMode(int width, int height) {
  State& s = S();
  s.screenWidth = width;
  s.screenHeight = height;
  const POINT was = s.cursor;
  s.cursor = {std::min<LONG>(was.x, width - 1), std::min<LONG>(was.y, height - 1)};
  FakeDisplayChanged();
  if (s.cursor.x != was.x || s.cursor.y != was.y) FakePostInput(WM_MOUSEMOVE);
}

void FakeRestoreDisplayMode() {
  S().screenWidth = S().storedWidth;
  S().screenHeight = S().storedHeight;
  FakeDisplayChanged();
}

int FakeScreenWidth() {
  return S().screenWidth;
}
int FakeScreenHeight() {
  return S().screenHeight;
}

void FakeSchedule(std::function<void()> event, int idlePolls) {
  S().events.push_back({std::move(event), idlePolls});
}

void FakePostInput(UINT message, WPARAM wParam, LPARAM lParam) {
  S().posted.push_back(MSG{InputTarget(), message, wParam, lParam, 0, S().cursor});
}

void FakePostInputTo(HWND window, UINT message, WPARAM wParam) {
  S().posted.push_back(MSG{window, message, wParam, 0, 0, S().cursor});
}

void FakeTimerTick() {
  for (FakeTimer& t : S().timers) t.due = true;
}

LRESULT FakeSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Send(window, message, wParam, lParam);
}

int FakeEmptyPolls() {
  return S().emptyPolls;
}
int FakeCursorCount() {
  return S().cursorCount;
}
std::vector<FakeTimer> FakeTimers() {
  return S().timers;
}

// ---- user32: classes and windows

ATOM RegisterClassA(const WNDCLASSA* c) {
  RecordCall("RegisterClassA",
             {FakeText(c->lpszClassName), FakeHex(c->style), FakeHex(c->hInstance),
              FakeHex(c->hIcon), FakeHex(c->hCursor), FakeHex(c->hbrBackground),
              FakeNum(c->cbClsExtra), FakeNum(c->cbWndExtra), FakeText(c->lpszMenuName)});
  std::int64_t result = 0xC001;
  TakeScriptedResult("RegisterClassA", &result);
  if (result != 0) S().classes[c->lpszClassName] = *c;
  return static_cast<ATOM>(result);
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  const auto id = reinterpret_cast<std::uintptr_t>(name);
  RecordCall("LoadIconA", {FakeHex(instance), id < 0x10000 ? FakeNum(id) : FakeText(name)});
  return reinterpret_cast<HICON>(0x1C0);
}

int GetSystemMetrics(int index) {
  RecordCall("GetSystemMetrics", {FakeNum(index)});
  if (index == SM_CXSCREEN) return S().screenWidth;
  if (index == SM_CYSCREEN) return S().screenHeight;
  if (index == SM_CMONITORS) return 1 + static_cast<int>(S().otherMonitors.size());
  return 0;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  RecordCall("CreateWindowExA",
             {FakeHex(exStyle), FakeText(className), FakeText(windowName), FakeHex(style),
              FakeNum(x), FakeNum(y), FakeNum(width), FakeNum(height), FakeHex(parent),
              FakeHex(menu), FakeHex(instance), FakeHex(param)});
  std::int64_t result = 1;
  if (TakeScriptedResult("CreateWindowExA", &result) && result == 0) return nullptr;
  auto found = S().classes.find(className ? className : "");
  if (found == S().classes.end()) return nullptr;
  // A child needs a living parent.
  if ((style & WS_CHILD) != 0 && Find(parent) == nullptr) return nullptr;
  HWND handle = NewHandle();
  S().windows.push_back({handle, found->second.lpfnWndProc, parent, style,
                         RECT{x, y, x + width, y + height}, (style & WS_VISIBLE) != 0, false, true,
                         false});
  if (parent == nullptr) RaiseToTop(handle);
  S().created = handle;
  if (Send(handle, WM_CREATE, 0, 0) == -1) {
    Destroy(handle);
    return nullptr;
  }
  // Another program acting while the window is made; a window it destroyed was never made.
  if (auto event = std::exchange(S().duringCreate, nullptr)) {
    event();
    if (Find(handle) == nullptr) return nullptr;
  }
  return handle;
}

BOOL DestroyWindow(HWND window) {
  RecordCall("DestroyWindow", {FakeHex(window)});
  if (Find(window) == nullptr) return FALSE;
  Destroy(window);
  return TRUE;
}

BOOL ShowWindow(HWND window, int showCommand) {
  RecordCall("ShowWindow", {FakeHex(window), FakeNum(showCommand)});
  Window* w = Find(window);
  if (w == nullptr) return FALSE;
  const bool wasVisible = w->visible;
  if (!wasVisible) w->needsPaint = true;  // a newly shown window must be painted
  w->visible = true;
  return wasVisible;
}

BOOL UpdateWindow(HWND window) {
  RecordCall("UpdateWindow", {FakeHex(window)});
  Window* w = Find(window);
  if (w == nullptr) return FALSE;
  // A pending paint is sent at once, not queued.
  if (w->needsPaint) Send(window, WM_PAINT, 0, 0);
  return TRUE;
}

HWND SetFocus(HWND window) {
  RecordCall("SetFocus", {FakeHex(window)});
  HWND previous = S().focus;
  S().focus = window;
  return previous;
}

int ShowCursor(BOOL show) {
  RecordCall("ShowCursor", {FakeNum(show)});
  S().cursorCount += show ? 1 : -1;
  return S().cursorCount;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  RecordCall("GetClientRect", {FakeHex(window)});
  const Window* w = Find(window);
  if (w == nullptr) return FALSE;
  *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
  RecordCall("GetWindowRect", {FakeHex(window)});
  const Window* w = Find(window);
  if (w == nullptr) return FALSE;
  *rect = w->rect;
  return TRUE;
}

// ---- user32: messages

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  RecordCall("PeekMessageA",
             {FakeHex(window), FakeNum(filterMin), FakeNum(filterMax), FakeNum(removeFlags)});
  State& s = S();
  if (NextMessage(msg, (removeFlags & PM_REMOVE) != 0)) return TRUE;
  ++s.emptyPollsInRow;
  if (!s.events.empty() && s.emptyPollsInRow > s.events.front().idlePolls) {
    RunNextEvent();
    if (NextMessage(msg, (removeFlags & PM_REMOVE) != 0)) return TRUE;
  }
  if (s.events.empty() && s.emptyPollsInRow > kMaxEmptyPollsWithoutEvents)
    throw FakeHang("the program polls an empty queue forever");
  ++s.emptyPolls;
  return FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  RecordCall("GetMessageA", {FakeHex(window), FakeNum(filterMin), FakeNum(filterMax)});
  WaitForMessage();
  NextMessage(msg, true);
  return msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG* msg) {
  RecordCall("TranslateMessage", {FakeHex(msg->message)});
  return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  RecordCall("DispatchMessageA", {FakeHex(msg->hwnd), FakeHex(msg->message)});
  return Send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// Input or the end of the timeout, whichever comes first; the clock moves on by the timeout.
DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE*, DWORD milliseconds, DWORD wakeMask,
                                  DWORD flags) {
  RecordCall("MsgWaitForMultipleObjectsEx",
             {FakeNum(count), FakeNum(milliseconds), FakeHex(wakeMask), FakeHex(flags)});
  MSG msg;
  if (milliseconds == INFINITE) {
    WaitForMessage();
    return WAIT_OBJECT_0 + count;
  }
  if (NextMessage(&msg, false)) return WAIT_OBJECT_0 + count;
  FakeAdvanceClock(1000LL * milliseconds);
  return static_cast<DWORD>(WAIT_TIMEOUT);
}

BOOL WaitMessage() {
  RecordCall("WaitMessage");
  WaitForMessage();
  return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RecordCall("DefWindowProcA", {FakeHex(window), FakeHex(message),
                                FakeNum(static_cast<long long>(wParam)), FakeNum(lParam)});
  if (message == WM_CLOSE) Destroy(window);
  if (message == WM_PAINT)
    if (Window* w = Find(window)) w->needsPaint = false;  // the default paint validates
  return 0;
}

void PostQuitMessage(int exitCode) {
  RecordCall("PostQuitMessage", {FakeNum(exitCode)});
  S().quitPosted = true;
  S().quitCode = exitCode;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC timerProc) {
  RecordCall("SetTimer", {FakeHex(window), FakeNum(static_cast<long long>(id)), FakeNum(elapse),
                          FakeHex(reinterpret_cast<void*>(timerProc))});
  if (Find(window) == nullptr) return 0;
  S().timers.push_back({window, id, elapse, false});
  FakeHandOut("timer " + FakeNum(static_cast<long long>(id)), FakeKey(window));
  return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  RecordCall("KillTimer", {FakeHex(window), FakeNum(static_cast<long long>(id))});
  auto& timers = S().timers;
  auto found = std::find_if(timers.begin(), timers.end(),
                            [&](const FakeTimer& t) { return t.window == window && t.id == id; });
  FakeTakeBack("timer " + FakeNum(static_cast<long long>(id)), FakeKey(window));
  if (found == timers.end()) return FALSE;
  timers.erase(found);
  return TRUE;
}

BOOL ClipCursor(const RECT* rect) {
  RecordCall("ClipCursor", {rect ? "rect" : "null"});
  return TRUE;
}

BOOL GetCursorPos(LPPOINT point) {
  RecordCall("GetCursorPos");
  *point = S().cursor;
  return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  RecordCall("InvalidateRect", {FakeHex(window), rect ? "rect" : "null", FakeNum(erase)});
  Window* w = Find(window);
  if (w == nullptr) return FALSE;
  w->needsPaint = true;
  return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  RecordCall("BeginPaint", {FakeHex(window)});
  Window* w = Find(window);
  if (w == nullptr) return nullptr;
  w->needsPaint = false;
  *paint = PAINTSTRUCT{};
  paint->hdc = reinterpret_cast<HDC>(0xDC0);
  FakeHandOut("paint", FakeKey(window));
  return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) {
  RecordCall("EndPaint", {FakeHex(window)});
  FakeTakeBack("paint", FakeKey(window));
  return TRUE;
}

// ---- user32: other windows, placement, display settings

BOOL EnumWindows(WNDENUMPROC callback, LPARAM param) {
  RecordCall("EnumWindows", {FakeNum(param)});
  const std::vector<HWND> order = S().zOrder;  // windows may come and go during the calls
  for (HWND window : order)
    if (Find(window) != nullptr && !callback(window, param)) return FALSE;
  return TRUE;
}

BOOL IsWindowVisible(HWND window) {
  RecordCall("IsWindowVisible", {FakeHex(window)});
  const Window* w = Find(window);
  return w != nullptr && w->visible;
}

BOOL IsIconic(HWND window) {
  RecordCall("IsIconic", {FakeHex(window)});
  const Window* w = Find(window);
  return w != nullptr && w->iconic;
}

LONG GetWindowLongA(HWND window, int index) {
  RecordCall("GetWindowLongA", {FakeHex(window), FakeNum(index)});
  const Window* w = Find(window);
  if (w == nullptr || index != GWL_STYLE) return 0;
  return static_cast<LONG>(w->style);
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  RecordCall("SetWindowPos", {FakeHex(window), FakeHex(insertAfter), FakeNum(x), FakeNum(y),
                              FakeNum(width), FakeNum(height), FakeHex(flags)});
  Window* w = Find(window);
  if (w == nullptr) return FALSE;
  w->rect = RECT{x, y, x + width, y + height};
  if (flags & SWP_SHOWWINDOW) w->visible = true;
  if ((insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) && w->parent == nullptr)
    RaiseToTop(window);
  return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
  if (mode == nullptr) {
    RecordCall("ChangeDisplaySettingsA", {"null", FakeNum(flags)});
  } else {
    RecordCall("ChangeDisplaySettingsA",
               {"size=" + FakeNum(mode->dmSize) + " fields=" + FakeHex(mode->dmFields) + " " +
                    FakeNum(mode->dmPelsWidth) + "x" + FakeNum(mode->dmPelsHeight) +
                    " bpp=" + FakeNum(mode->dmBitsPerPel),
                FakeNum(flags)});
  }
  std::int64_t result = DISP_CHANGE_SUCCESSFUL;
  TakeScriptedResult("ChangeDisplaySettingsA", &result);
  if (result != DISP_CHANGE_SUCCESSFUL) return static_cast<LONG>(result);
  State& s = S();
  if (mode == nullptr) {
    s.screenWidth = s.storedWidth;
    s.screenHeight = s.storedHeight;
  } else {
    if (mode->dmFields & DM_PELSWIDTH) s.screenWidth = static_cast<int>(mode->dmPelsWidth);
    if (mode->dmFields & DM_PELSHEIGHT) s.screenHeight = static_cast<int>(mode->dmPelsHeight);
  }
  FakeDisplayChanged();
  return DISP_CHANGE_SUCCESSFUL;
}

// The primary at the origin at the current mode's size, the others side by side right of it (as a
// display server lays them out again after a mode switch) or at their own places.
BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC callback, LPARAM param) {
  RecordCall("EnumDisplayMonitors", {FakeHex(dc), clip ? "rect" : "null", FakeNum(param != 0)});
  RECT rect = {0, 0, S().screenWidth, S().screenHeight};
  LONG rowEnd = rect.right;
  std::uintptr_t monitor = 0x3000;
  if (!callback(reinterpret_cast<HMONITOR>(monitor), nullptr, &rect, param)) return TRUE;
  for (const OtherMonitor& m : S().otherMonitors) {
    const POINT at = m.placed ? m.place : POINT{rowEnd, 0};
    rect = {at.x, at.y, at.x + m.width, at.y + m.height};
    if (!m.placed) rowEnd = rect.right;
    monitor += 0x10;
    if (!callback(reinterpret_cast<HMONITOR>(monitor), nullptr, &rect, param)) break;
  }
  return TRUE;
}

// ---- The dialog box: recorded, not run

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam) {
  const auto id = reinterpret_cast<std::uintptr_t>(templateName);
  RecordCall("DialogBoxParamA",
             {FakeHex(instance), id < 0x10000 ? FakeNum(id) : FakeText(templateName),
              FakeHex(owner), dialogProc ? "proc" : "null", FakeNum(initParam)});
  std::int64_t result = 0;
  TakeScriptedResult("DialogBoxParamA", &result);
  return static_cast<INT_PTR>(result);
}
