// The --fps report of the savers: frames counted as they are shown, and the rate achieved over
// the last second or so.
#pragma once

#include <chrono>

struct FrameRateCount {
  std::chrono::steady_clock::time_point start;
  long frames = 0;  // shown since `start`, the one at `start` included
};

// Counts one shown frame. Once a second or more has passed since the count began: true with the
// frames per second in `perSecond`, and the count begins again at this frame.
bool CountShownFrame(FrameRateCount& count, double& perSecond);
