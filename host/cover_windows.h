// The covering windows of a full-screen run: one topmost popup over each monitor other than the
// primary, so that no monitor goes on showing the desktop while the saver runs. Each shows the
// frame fitted 4:3 with black bars; input on any of them ends the run by the saver window's rules.
#pragma once

#include <windows.h>

constexpr int kMaxCoverWindows = 16;
constexpr char kCoverClassName[] = "Glimra Cover";

// The covers made for this run; a slot is null once its window is gone.
extern HWND coverWindows[kMaxCoverWindows];
extern int coverWindowCount;

// Finds the other monitors as they are now (after the display switch, which moves them) and makes
// a cover over each, shown without taking the focus from the saver window. A cover that cannot be
// made is left out. With one monitor nothing is made.
void CoverOtherMonitors(HINSTANCE instance);
// GDI modes: every cover repaints with the frame of this tick.
void InvalidateCoverWindows();
// Destroys every cover, then the frame copy they showed.
void RemoveCoverWindows();

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
