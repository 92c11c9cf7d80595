// The run's mode and its saver window: set once by the start-up, read by the window procedure,
// the palette hand-over and the display back-ends.
#pragma once

#include <windows.h>

#include "host/saver_mode.h"

extern SaverMode currentMode;
extern HWND saverWindow;
