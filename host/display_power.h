// Whether Windows has turned the display off. The full-screen modes ask to be told, and make and
// present no frame while it is off; the preview never asks.
#pragma once

#include <windows.h>

// Registers `window` for the console display's state (off, on, dimmed). Where Windows has no such
// notification the display counts as on for the whole run.
void WatchDisplayPower(HWND window);
// Unregisters; the display counts as on again.
void StopWatchingDisplayPower();
// WM_POWERBROADCAST: true when it carried the display's state, which is then recorded.
bool NoteDisplayPower(WPARAM event, LPARAM setting);
bool DisplayIsOff();
