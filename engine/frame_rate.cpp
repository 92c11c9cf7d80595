// Frame rate counting on the steady clock.
#include "engine/frame_rate.h"

bool CountShownFrame(FrameRateCount& count, double& perSecond) {
  const auto now = std::chrono::steady_clock::now();
  if (count.frames++ == 0) count.start = now;
  const double seconds = std::chrono::duration<double>(now - count.start).count();
  if (seconds < 1.0) return false;
  perSecond = (count.frames - 1) / seconds;
  count.frames = 1;
  count.start = now;
  return true;
}
