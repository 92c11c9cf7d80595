// The DirectDraw mode's pace: one frame per refresh period of the display mode, scheduled against
// a running due time, for displays whose flip returns without waiting for the vertical blank.
#pragma once

#include <windows.h>

// The refresh rate the pace uses for what Windows reports: 0 and 1 mean the hardware's default,
// taken as 60 Hz.
DWORD PacedRefreshRate(DWORD reportedHz);
// Reads the refresh rate of the mode now set, asks for 1 ms timer resolution for the run, and
// makes the first frame due at once.
void StartFramePace();
// Gives the timer resolution back; does nothing when the pace is not running.
void StopFramePace();
// Milliseconds until the next frame is due, 0 when it is due now. Frames a moment late (the
// process waited for the processor) follow each other at once until the schedule is caught up;
// after a longer stall (the display was off) the schedule starts again from now instead.
DWORD MillisecondsToNextFrame();
// A frame was made: the next is due one period after this one was.
void FrameMade();
