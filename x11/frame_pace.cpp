// Frame pacing of the X11 saver on the monotonic clock.
#include "x11/frame_pace.h"

#include <cerrno>

void WaitForNextFrame(timespec& deadline, long delayMicroseconds,
                      const volatile sig_atomic_t& stop) {
  auto add = [](timespec& t, long nanoseconds) {
    t.tv_nsec += nanoseconds;
    t.tv_sec += t.tv_nsec / 1000000000;
    t.tv_nsec %= 1000000000;
  };
  add(deadline, delayMicroseconds * 1000);
  while (!stop && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  // More than one delay behind: the next frame is due one delay from now.
  const double late = (now.tv_sec - deadline.tv_sec) + (now.tv_nsec - deadline.tv_nsec) * 1e-9;
  if (late > delayMicroseconds * 1e-6) deadline = now;
}
