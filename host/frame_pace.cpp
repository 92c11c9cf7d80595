// The DirectDraw mode's pace. The due time runs on in fractions of the performance counter's ticks,
// so a rate that is no whole number of milliseconds (59.4 Hz) holds over a long run; the waits
// themselves are whole milliseconds, which the 1 ms timer resolution makes accurate.
#include "host/frame_pace.h"

#include <cmath>

namespace {

constexpr DWORD kDefaultRefreshHz = 60;
constexpr UINT kTimerResolutionMs = 1;
// How far behind the schedule may fall and still be caught up: a few frames made back to back go
// unnoticed, a burst after a long stall would look like a fast-forward.
constexpr double kCatchUpPeriods = 4;

struct FramePace {
  bool running;
  double ticksPerMs;
  double periodTicks;
  double dueTicks;
};

FramePace pace = {};

double NowTicks() {
  LARGE_INTEGER count = {};
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart);
}

}  // namespace

DWORD PacedRefreshRate(DWORD reportedHz) {
  return reportedHz <= 1 ? kDefaultRefreshHz : reportedHz;
}

void StartFramePace() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof(DEVMODEA);
  DWORD reportedHz = 0;
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode))
    reportedHz = mode.dmDisplayFrequency;
  LARGE_INTEGER frequency = {};
  QueryPerformanceFrequency(&frequency);
  const double ticksPerSecond = static_cast<double>(frequency.QuadPart);
  pace.ticksPerMs = ticksPerSecond / 1000.0;
  pace.periodTicks = ticksPerSecond / PacedRefreshRate(reportedHz);
  timeBeginPeriod(kTimerResolutionMs);
  pace.running = true;
  pace.dueTicks = NowTicks();
}

void StopFramePace() {
  if (!pace.running) return;
  timeEndPeriod(kTimerResolutionMs);
  pace = FramePace{};
}

DWORD MillisecondsToNextFrame() {
  const double now = NowTicks();
  if (now >= pace.dueTicks) {
    if (now - pace.dueTicks > kCatchUpPeriods * pace.periodTicks) pace.dueTicks = now;
    return 0;
  }
  return static_cast<DWORD>(std::ceil((pace.dueTicks - now) / pace.ticksPerMs));
}

void FrameMade() {
  pace.dueTicks += pace.periodTicks;
}
