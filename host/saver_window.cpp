// The window procedure of the class "Glimra", shared by every saver mode. In the GDI modes the 50
// ms timer makes the frames and the paint shows them; in the DirectDraw mode the message loop makes
// them and the timer does nothing. Destroying the window, for whatever reason, ends the run.
#include "host/saver_window.h"

#include "display/ddraw_backend.h"
#include "display/gdi_backend.h"
#include "display/palette_handover.h"
#include "engine/compose.h"
#include "host/cover_windows.h"
#include "host/display_power.h"
#include "host/frame_pace.h"
#include "host/saver_state.h"
#include "host/window_placement.h"
#include "settings/saver_settings.h"

int mouseMoveCount = 0;
POINT lastCursorPos = {};

namespace {

// From the window's destruction on, display changes are the end of run's own.
bool runEnding = false;

// The cursor is read from the screen, not from lParam; one move that finds it where it was starts
// the count again.
void HandleMouseMove(HWND window) {
  POINT p = {};
  GetCursorPos(&p);
  if (p.x == lastCursorPos.x && p.y == lastCursorPos.y)
    mouseMoveCount = 0;
  else
    ++mouseMoveCount;
  lastCursorPos = p;
  if (mouseMoveCount > kMouseMovesTolerated) DestroyWindow(window);
}

void MakeGdiFrame(HWND window) {
  // Nobody sees a dark display: the picture waits where it is.
  if (DisplayIsOff()) return;
  if (saverSettings.pal != 0) StepPalette();
  // Without a DIB section there is no frame memory to compose into.
  if (framePixels == nullptr) return;
  ComposeFrame();
  InvalidateRect(window, nullptr, FALSE);
  InvalidateCoverWindows();
}

// The covers go first, while the display is as they found it; then the back-end, so that the
// display mode is back before the other windows are moved.
void EndRun(HWND window) {
  runEnding = true;
  RemoveCoverWindows();
  if (currentMode == ModeDirectDraw) {
    ReleaseDirectDraw();
  } else {
    if (currentMode == ModeGdiFullScreen) RestoreDisplay();
    ReleaseGdiBackend();
  }
  StopFramePace();
  StopWatchingDisplayPower();
  KillTimer(window, kFrameTimerId);
  if (IsFullScreenMode(currentMode)) RestoreWindowPlacements();
  ShowCursor(TRUE);
  PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool preview = currentMode == ModePreview;
  switch (message) {
    case WM_CREATE:
      SetTimer(window, kFrameTimerId, kFrameTimerMs, nullptr);
      GetCursorPos(&lastCursorPos);
      runEnding = false;
      return 0;
    case WM_DESTROY:
      EndRun(window);
      return 0;
    case WM_PAINT:
      if (currentMode == ModeDirectDraw) break;
      PaintFrame(window);
      return 0;
    case WM_TIMER:
      FollowMonitorsAtTick();
      if (currentMode != ModeDirectDraw) MakeGdiFrame(window);
      return 0;
    case WM_DISPLAYCHANGE:
      // A display change may move the cursor without the user (DirectDraw's switch confines it to
      // the smaller primary; a monitor that goes away takes it along): where it is now is where the
      // next move is measured from.
      if (!preview && !runEnding) GetCursorPos(&lastCursorPos);
      // Another monitor's mode or place changed, or a monitor came or went. The saver's own
      // switches come before the covers are made or after they are gone, and change no cover.
      FollowMonitors();
      return 0;
    case WM_POWERBROADCAST:
      if (NoteDisplayPower(wParam, lParam)) return TRUE;
      break;
    case WM_MOUSEMOVE:
      if (!preview) HandleMouseMove(window);
      return 0;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (!preview) DestroyWindow(window);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
