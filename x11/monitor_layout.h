// Where the X11 saver's pictures go in a window that may span several monitors (the root window
// without XScreenSaver): one picture on each monitor, fitted to it or stretched over it, black
// around it; monitors of one size share one picture, monitors that overlap show one picture
// together. No X calls, so every layout is testable.
#pragma once

#include <vector>

#include "engine/frame_place.h"

// A rectangle of the window: a monitor as the server lists it, or a band to be made black.
struct WindowArea {
  int x, y, width, height;
};

// The pictures of one size, and where in the window each copy goes.
struct PictureGroup {
  int width, height;
  std::vector<FramePlace> places;
};

struct PictureLayout {
  std::vector<PictureGroup> groups;  // in the order of the first monitor of each size
  std::vector<WindowArea> bands;     // each monitor's area around its picture
};

// `monitors` as the server lists them, or none for a window that is one area (its own window,
// XScreenSaver's). Each monitor is clipped to the window; one left empty, the same area as an
// earlier one (mirrored outputs) or inside another one is dropped; when none is left the whole
// window is one monitor. Monitors that overlap (mirrored at different sizes) show one picture,
// fitted to the area they all share and black elsewhere on them, so none shows a seam; where a
// chain of them shares no area, the picture is fitted to the box around them and each shows part.
PictureLayout LayOutPictures(int windowWidth, int windowHeight,
                             const std::vector<WindowArea>& monitors, bool stretch);
