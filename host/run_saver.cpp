// The start-up and the message loop. The order of the steps matters: settings before the mode (the
// mode depends on `direct_x`), placements before the display changes, the display switch before the
// window is sized from the screen, the window before its back-end objects.
#include "host/run_saver.h"

#include "display/ddraw_backend.h"
#include "display/ddraw_frame_step.h"
#include "display/gdi_backend.h"
#include "display/palette_handover.h"
#include "engine/engine.h"
#include "host/cover_windows.h"
#include "host/display_power.h"
#include "host/dpi_awareness.h"
#include "host/frame_pace.h"
#include "host/saver_state.h"
#include "host/saver_window.h"
#include "host/window_placement.h"
#include "resources/resource.h"
#include "settings/config_dialog.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

char commandCopy[kCommandCopySize];

void RegisterSaverClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = SaverWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_GLIMRA));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kSaverClassName;
  RegisterClassA(&windowClass);
}

// Full screen: a topmost popup of the screen's size as it is now (after the GDI switch, before
// DirectDraw's). Preview: an untitled child filling the host's client area. Not yet visible.
HWND CreateSaverWindow(HINSTANCE instance, const char* commandTail) {
  if (IsFullScreenMode(currentMode)) {
    return CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kSaverWindowTitle, WS_POPUP, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                           nullptr, instance, nullptr);
  }
  HWND parent = ParseParentWindow(commandTail);
  if (parent == nullptr) return nullptr;  // no space in the tail: there is no host window
  RECT client = {};
  GetClientRect(parent, &client);
  return CreateWindowExA(0, kSaverClassName, "", WS_CHILD, 0, 0, client.right, client.bottom,
                         parent, nullptr, instance, nullptr);
}

// No window: undo what the set-up had already changed, so that a failed start leaves the display
// and the other windows as they were.
void UndoStartWithoutWindow() {
  if (currentMode == ModeGdiFullScreen) RestoreDisplay();
  if (IsGdiMode(currentMode)) FreeBitmapInfo();
  if (currentMode == ModeGdiFullScreen)
    RestoreWindowPlacements();  // the display switch may have moved them
  else if (IsFullScreenMode(currentMode))
    FreeWindowPlacements();  // nothing changed yet: the windows stay untouched
}

// DirectDraw refused (no 640 x 480 x 8, no exclusive mode, no driver) and has given the display
// back: the run goes on as the GDI full screen in the window that is already up, so that a saver
// never shows nothing. The window is sized again for the screen as the switch left it.
void FallBackToGdi(HWND window) {
  currentMode = ModeGdiFullScreen;
  SwitchDisplay();
  AllocateBitmapInfo();
  SetWindowPos(window, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               SWP_NOZORDER | SWP_NOACTIVATE);
  CreateDibSurface(window);
}

}  // namespace

int RunSaver(HINSTANCE instance, const char* commandTail, int showCommand) {
  // The mutex is never closed: it marks this instance until the process ends.
  CreateMutexA(nullptr, FALSE, kSaverMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  LoadSettings();
  CopyCommandTail(commandCopy, commandTail);
  currentMode = SelectSaverMode(commandCopy, saverSettings.direct_x);
  if (IsFullScreenMode(currentMode)) {
    // Before any window, and before the placements are read, so that both are in physical pixels.
    DeclareDpiAwareness();
    RecordWindowPlacements();
  }

  if (!SetUpSaver(instance, showCommand, commandTail)) return 0;
  return RunMessageLoop();
}

bool SetUpSaver(HINSTANCE instance, int showCommand, const char* commandTail) {
  if (currentMode == ModeConfigure) {
    RegisterDialogControls();
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), nullptr, ConfigDialogProc, 0);
    return false;
  }

  RegisterSaverClass(instance);
  if (IsGdiMode(currentMode)) {
    if (currentMode == ModeGdiFullScreen) SwitchDisplay();
    AllocateBitmapInfo();
  }

  HWND window = CreateSaverWindow(instance, commandTail);
  if (window == nullptr) {
    UndoStartWithoutWindow();
    return false;
  }
  saverWindow = window;
  if (IsGdiMode(currentMode)) CreateDibSurface(window);

  ShowWindow(saverWindow, showCommand);
  UpdateWindow(saverWindow);
  SetFocus(saverWindow);
  if (currentMode != ModePreview) ShowCursor(FALSE);

  if (currentMode == ModeDirectDraw) {
    if (SetUpDirectDraw(saverWindow))
      StartFramePace();
    else
      FallBackToGdi(saverWindow);
  }
  if (IsFullScreenMode(currentMode)) WatchDisplayPower(saverWindow);
  // Both display switches are done, so the other monitors are where they will stay.
  if (IsFullScreenMode(currentMode)) CoverOtherMonitors(instance);

  // The first palette goes to the back-end's own store; the engine's start then builds the
  // tables and scales the speeds.
  InstallFirstPalette();
  StartEngine(nullptr);
  return true;
}

int RunMessageLoop() {
  MSG msg = {};
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!GetMessageA(&msg, nullptr, 0, 0)) return static_cast<int>(msg.wParam);
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else if (currentMode == ModeDirectDraw && !DisplayIsOff()) {
      // The DirectDraw frames come from the idle loop, one per refresh period: where the flip has
      // not waited for the display, the loop waits for a message or the next frame's due time,
      // whichever comes first, so input still ends the run at once.
      const DWORD wait = MillisecondsToNextFrame();
      if (wait == 0) {
        DirectDrawFrameStep();
        FrameMade();
      } else {
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      }
    } else {
      // The GDI frames come from the timer, and a dark display wants none: sleep until the next
      // message instead of spinning.
      WaitMessage();
    }
  }
}
