// The covering windows of a full-screen run: one topmost popup over each monitor other than the
// primary, so that no monitor goes on showing the desktop while the saver runs. Each shows the
// frame fitted 4:3 with black bars; input on any of them ends the run by the saver window's rules.
// The covers follow the monitors for the whole run: refitted when one changes mode or moves, made
// for one that appears, taken away with one that goes.
#pragma once

#include <windows.h>

constexpr int kMaxCoverWindows = 16;
constexpr char kCoverClassName[] = "Glimra Cover";
// The monitor list is read again at every this many ticks of the saver window (once a second):
// some systems tell of no change made from outside the program.
constexpr int kTicksPerMonitorCheck = 20;

// The covers made for this run, in the order made; a slot is null once its window is gone.
extern HWND coverWindows[kMaxCoverWindows];
extern int coverWindowCount;
// True from the covers' set-up to their removal: the only time a monitor change is followed, so
// that the saver's own display switches (before and after) change nothing.
extern bool coversFollowMonitors;

// Finds the other monitors as they are now (after the display switch, which moves them) and makes
// a cover over each, shown without taking the focus from the saver window. A cover that cannot be
// made is left out. With one monitor nothing is made. From now on the covers follow the monitors.
void CoverOtherMonitors(HINSTANCE instance);
// Reads the monitor list again and brings the covers in line with it: a cover over a monitor as it
// is stays untouched, the others are moved and resized onto the monitors that lack one, covers left
// over go, and a monitor still without a cover gets a new one.
void FollowMonitors();
// The saver window's tick: every kTicksPerMonitorCheck-th one follows the monitors.
void FollowMonitorsAtTick();
// GDI modes: every cover repaints with the frame of this tick.
void InvalidateCoverWindows();
// Destroys every cover, then the frame copy they showed; the monitors are no longer followed.
void RemoveCoverWindows();

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
