// The window placement list: two enumeration passes (count, then record) before a full-screen run,
// and one restoring pass after it. Each restoring call also raises its window, so the windows end
// up in the reverse of the recorded order, the last recorded on top.
#include "host/window_placement.h"

WindowPlacementList windowPlacements = {};

namespace {

constexpr LONG kFrameStyleBits = WS_BORDER | WS_DLGFRAME;

bool IsShownAndNotMinimised(HWND window) {
  return IsWindowVisible(window) && !IsIconic(window);
}

void RecordOne(HWND window) {
  WindowPlacementList& list = windowPlacements;
  if ((GetWindowLongA(window, GWL_STYLE) & kFrameStyleBits) == 0) return;
  // Windows that appeared after the counting pass find no room and are left as they are.
  if (list.count >= list.capacity) return;
  GetWindowRect(window, &list.rects[list.count]);
  list.windows[list.count] = window;
  ++list.count;
}

}  // namespace

BOOL CALLBACK CollectWindowPlacement(HWND window, LPARAM pass) {
  if (IsShownAndNotMinimised(window)) {
    if (pass == PlacementPassCount)
      ++windowPlacements.count;
    else
      RecordOne(window);
  }
  return TRUE;
}

void RecordWindowPlacements() {
  WindowPlacementList& list = windowPlacements;
  list.count = 0;
  EnumWindows(CollectWindowPlacement, PlacementPassCount);

  list.capacity = list.count;
  const auto entries = static_cast<std::size_t>(list.capacity);
  list.windows = static_cast<HWND*>(GlobalAlloc(GMEM_FIXED, entries * sizeof(HWND)));
  list.rects = static_cast<RECT*>(GlobalAlloc(GMEM_FIXED, entries * sizeof(RECT)));
  if (list.capacity > 0 && (list.windows == nullptr || list.rects == nullptr)) {
    // Without both arrays nothing can be recorded: the list stays empty and the restore does
    // nothing.
    FreeWindowPlacements();
  }

  list.count = 0;
  EnumWindows(CollectWindowPlacement, PlacementPassRecord);
}

void RestoreWindowPlacements() {
  const WindowPlacementList& list = windowPlacements;
  for (int i = 0; i < list.count; ++i) {
    const RECT& r = list.rects[i];
    // A window closed during the run fails here on its own; the others still go back.
    SetWindowPos(list.windows[i], HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW);
  }
  FreeWindowPlacements();
}

void FreeWindowPlacements() {
  WindowPlacementList& list = windowPlacements;
  if (list.windows != nullptr) GlobalFree(list.windows);
  if (list.rects != nullptr) GlobalFree(list.rects);
  list = WindowPlacementList{};
}
