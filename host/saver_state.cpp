// The run's mode and its saver window. The configuration mode is where a run without a command
// line ends up, so it is also the value before the mode is chosen.
#include "host/saver_state.h"

SaverMode currentMode = ModeConfigure;
HWND saverWindow = nullptr;
