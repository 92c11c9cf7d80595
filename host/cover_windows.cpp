// The covers: found from the monitor list, made after the saver window, kept in line with the
// monitor list (on WM_DISPLAYCHANGE and at the saver window's tick), destroyed before the display
// mode is restored. In the GDI modes the saver window's tick repaints them with its frame;
// in the DirectDraw mode, whose saver window tick does nothing, each cover's own 50 ms timer
// refreshes the copy of the last composed frame and repaints.
#include "host/cover_windows.h"

#include "display/cover_frame.h"
#include "display/gdi_backend.h"
#include "host/display_power.h"
#include "host/saver_state.h"
#include "host/saver_window.h"

HWND coverWindows[kMaxCoverWindows] = {};
int coverWindowCount = 0;
bool coversFollowMonitors = false;

namespace {

struct MonitorList {
  RECT rects[kMaxCoverWindows];
  int count;
};

// The monitor each cover was last fitted to, slot for slot with coverWindows.
RECT coverRects[kMaxCoverWindows] = {};
HINSTANCE coverInstance = nullptr;
bool coverClassReady = false;
int ticksSinceCheck = 0;

// Every monitor but the primary, whose top-left corner is the screen's origin.
BOOL CALLBACK AddOtherMonitor(HMONITOR, HDC, LPRECT rect, LPARAM param) {
  auto* list = reinterpret_cast<MonitorList*>(param);
  if (rect->left == 0 && rect->top == 0) return TRUE;
  if (rect->right <= rect->left || rect->bottom <= rect->top) return TRUE;
  if (list->count < kMaxCoverWindows) list->rects[list->count++] = *rect;
  return TRUE;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void RegisterCoverClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = CoverWindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kCoverClassName;
  RegisterClassA(&windowClass);
}

// A tool window stays out of the task switcher; no activation keeps the focus (and DirectDraw's
// exclusive mode) with the saver window.
HWND CreateCover(HINSTANCE instance, const RECT& monitor) {
  return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClassName, "",
                         WS_POPUP, monitor.left, monitor.top, monitor.right - monitor.left,
                         monitor.bottom - monitor.top, nullptr, nullptr, instance, nullptr);
}

void PaintCover(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  PAINTSTRUCT paint = {};
  HDC dc = BeginPaint(window, &paint);
  HDC frame = CoverFrameDc();
  if (frame != nullptr)
    PaintFittedFrame(dc, client, frame);
  else
    PatBlt(dc, 0, 0, client.right, client.bottom, BLACKNESS);
  EndPaint(window, &paint);
}

void ForgetCover(HWND window) {
  for (int i = 0; i < coverWindowCount; ++i)
    if (coverWindows[i] == window) coverWindows[i] = nullptr;
}

// Closes the gaps that destroyed covers left, keeping the order.
void CompactCovers() {
  int kept = 0;
  for (int i = 0; i < coverWindowCount; ++i) {
    if (coverWindows[i] == nullptr) continue;
    coverWindows[kept] = coverWindows[i];
    coverRects[kept++] = coverRects[i];
  }
  for (int i = kept; i < coverWindowCount; ++i) coverWindows[i] = nullptr;
  coverWindowCount = kept;
}

// The class and, in the DirectDraw mode, the frame copy are made with the first cover, which may
// come only mid-run when a monitor appears.
void MakeCovers(const MonitorList& monitors, const bool* covered) {
  bool any = false;
  for (int i = 0; i < monitors.count; ++i) any = any || !covered[i];
  if (!any) return;
  if (!coverClassReady) {
    RegisterCoverClass(coverInstance);
    CreateCoverFrame();
    coverClassReady = true;
  }
  // DirectDraw's exclusive mode may have confined the cursor to the primary monitor (Wine does):
  // set it free, so that input on the covers can end the run.
  ClipCursor(nullptr);
  for (int i = 0; i < monitors.count; ++i) {
    if (covered[i] || coverWindowCount == kMaxCoverWindows) continue;
    HWND cover = CreateCover(coverInstance, monitors.rects[i]);
    if (cover == nullptr) continue;  // that monitor stays uncovered; the run goes on
    coverRects[coverWindowCount] = monitors.rects[i];
    coverWindows[coverWindowCount++] = cover;
    ShowWindow(cover, SW_SHOWNOACTIVATE);
  }
}

// A cover moved onto another monitor place or mode, still topmost and without the focus; it is
// painted again whole, with the bars of its new size.
void RefitCover(int slot, const RECT& monitor) {
  coverRects[slot] = monitor;
  SetWindowPos(coverWindows[slot], HWND_TOPMOST, monitor.left, monitor.top,
               monitor.right - monitor.left, monitor.bottom - monitor.top, SWP_NOACTIVATE);
  InvalidateRect(coverWindows[slot], nullptr, FALSE);
}

}  // namespace

void CoverOtherMonitors(HINSTANCE instance) {
  coverInstance = instance;
  coverClassReady = false;
  ticksSinceCheck = 0;
  coversFollowMonitors = true;
  if (GetSystemMetrics(SM_CMONITORS) < 2) return;
  FollowMonitors();
}

void FollowMonitors() {
  if (!coversFollowMonitors) return;
  MonitorList monitors = {};
  EnumDisplayMonitors(nullptr, nullptr, AddOtherMonitor, reinterpret_cast<LPARAM>(&monitors));
  CompactCovers();

  // Covers over a monitor exactly as it is stay; the others take the monitors left, in order.
  bool covered[kMaxCoverWindows] = {};
  bool fitted[kMaxCoverWindows] = {};
  for (int c = 0; c < coverWindowCount; ++c)
    for (int m = 0; m < monitors.count; ++m)
      if (!covered[m] && SameRect(coverRects[c], monitors.rects[m])) {
        covered[m] = fitted[c] = true;
        break;
      }
  int next = 0;
  for (int c = 0; c < coverWindowCount; ++c) {
    if (fitted[c]) continue;
    while (next < monitors.count && covered[next]) ++next;
    if (next < monitors.count) {
      RefitCover(c, monitors.rects[next]);
      covered[next] = true;
    } else {
      DestroyWindow(coverWindows[c]);  // its monitor went away
    }
  }
  CompactCovers();
  MakeCovers(monitors, covered);
}

void FollowMonitorsAtTick() {
  if (!coversFollowMonitors || ++ticksSinceCheck < kTicksPerMonitorCheck) return;
  ticksSinceCheck = 0;
  FollowMonitors();
}

void InvalidateCoverWindows() {
  for (int i = 0; i < coverWindowCount; ++i)
    if (coverWindows[i] != nullptr) InvalidateRect(coverWindows[i], nullptr, FALSE);
}

void RemoveCoverWindows() {
  coversFollowMonitors = false;
  for (int i = 0; i < coverWindowCount; ++i)
    if (coverWindows[i] != nullptr) DestroyWindow(coverWindows[i]);
  coverWindowCount = 0;
  ReleaseCoverFrame();
}

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (currentMode == ModeDirectDraw) SetTimer(window, kFrameTimerId, kFrameTimerMs, nullptr);
      return 0;
    case WM_DESTROY:
      if (currentMode == ModeDirectDraw) KillTimer(window, kFrameTimerId);
      ForgetCover(window);
      return 0;
    case WM_TIMER:
      if (DisplayIsOff()) return 0;
      RefreshCoverFrame();
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT:
      PaintCover(window);
      return 0;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOUSEMOVE:
      // One set of rules and one move count for every monitor: the saver window's.
      if (saverWindow != nullptr) return SaverWindowProc(saverWindow, message, wParam, lParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
