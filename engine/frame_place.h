// Where the 640 x 480 frame goes when it is shown in an area of another size: the largest
// rectangle of its 4:3 shape that fits, centred, so that rings stay round and the rest of the area
// is left for black bars. The GDI full screen on a screen that did not switch and the X11 saver
// share this one rule.
#pragma once

struct FramePlace {
  int x, y, width, height;
};

// Sides rounded to the nearest pixel, which keeps a one-pixel area's picture one pixel in size.
FramePlace FitFrame(int areaWidth, int areaHeight);
