// The X11 saver's pace: absolute deadlines one delay apart, shared with the measuring floor
// program so that both wake up the same way.
#pragma once

#include <signal.h>
#include <time.h>

// Sleeps until `deadline`, then moves it on by the delay; a run that fell behind starts afresh
// from now instead of racing to catch up. A non-zero `stop` (set by a signal handler) ends the
// pause.
void WaitForNextFrame(timespec& deadline, long delayMicroseconds,
                      const volatile sig_atomic_t& stop);
