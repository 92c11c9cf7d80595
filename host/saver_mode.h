// The run mode and how the command line chooses it: plain logic that needs no window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

enum SaverMode : std::uint8_t {
  ModeDirectDraw = 0,     // full screen through DirectDraw
  ModeGdiFullScreen = 1,  // full screen through a GDI DIB section
  ModePreview = 2,        // drawn inside a window of the host
  ModeConfigure = 3,      // the configuration dialog only
};

inline bool IsFullScreenMode(SaverMode mode) {
  return mode < ModePreview;
}
inline bool IsGdiMode(SaverMode mode) {
  return mode == ModeGdiFullScreen || mode == ModePreview;
}

constexpr std::size_t kCommandCopySize = 256;

// Bounded copy of the command tail: at most 256 characters, stopping at the tail's zero and
// filling the rest with zeros (a tail of 256 or more characters leaves no terminating zero).
void CopyCommandTail(char (&copy)[kCommandCopySize], const char* tail);

// 's' or 'S' in one of the first two places means full screen (DirectDraw when direct_x is
// non-zero), else 'p' or 'P' the preview, else the configuration dialog.
SaverMode SelectSaverMode(const char (&copy)[kCommandCopySize], std::int32_t direct_x);

// The signed decimal number after the first space of the tail, accumulated in 32 bits (wrapping
// silently on long digit runs). `found` is false when the tail has no space: then there is no
// parent.
std::int32_t ParseParentHandleValue(const char* tail, bool* found);
// The preview's parent window; null when the tail holds no space.
HWND ParseParentWindow(const char* tail);
