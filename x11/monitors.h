// The monitors that the root window spans, as the X server lists them (RandR 1.5's monitors, else
// Xinerama's screens), and the notices of a changed monitor layout.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "x11/monitor_layout.h"

// The active monitors in root window coordinates; none when the server lists none (one monitor:
// the whole window).
std::vector<WindowArea> QueryMonitors(Display* display, Window root);

// Asks RandR to tell of every change of screen, CRTC or output on `root`. Returns RandR's event
// base for IsMonitorLayoutChange, or -1 when the server has no RandR (no notices but resizes).
int WatchMonitorLayout(Display* display, Window root);

// Whether `event` is one of those notices; a new screen size also updates Xlib's idea of it.
bool IsMonitorLayoutChange(int randrEventBase, XEvent& event);
