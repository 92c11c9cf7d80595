// The placements of other programs' windows, recorded before a full-screen run changes the display
// and put back after the display mode has been restored.
#pragma once

#include <windows.h>

struct WindowPlacementList {
  int count;  // counting pass: windows counted; from the recording pass on: windows recorded
  HWND* windows;
  RECT* rects;   // rects[i] is the screen rectangle of windows[i]
  int capacity;  // entries of both arrays, as the counting pass found
};

extern WindowPlacementList windowPlacements;

enum PlacementPass : LPARAM {
  PlacementPassCount = 0,
  PlacementPassRecord = 1,
};

// Counts the visible, non-minimised top-level windows, allocates that many entries and records
// those among them that have a border or a dialog frame.
void RecordWindowPlacements();
// Moves and sizes each recorded window back, in recorded order, then frees the list.
void RestoreWindowPlacements();
// Frees the list without touching any window.
void FreeWindowPlacements();
// The EnumWindows callback; the application value is the pass. Always continues.
BOOL CALLBACK CollectWindowPlacement(HWND window, LPARAM pass);
