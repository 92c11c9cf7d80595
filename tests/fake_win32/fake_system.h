// The system-services area of the test fake: a clock that moves only when the program waits or a
// flip takes time, the display mode's refresh rate, timer resolution, modules whose procedures can
// be missing, and the console display's power state sent to the windows registered for it.
#pragma once

#include <windows.h>

#include <string>

// The clock in microseconds since the reset (the performance counter runs at 1 MHz).
long long FakeClockMicros();
void FakeAdvanceClock(long long micros);
// What EnumDisplaySettingsA reports as the current mode's refresh rate (60 unless set).
void FakeSetRefreshRate(DWORD hz);
// How long each flip takes: one period of the refresh rate unless set (a flip that waits for the
// vertical blank); 0 is a flip that returns at once.
void FakeSetFlipMicros(long long micros);
long long FakeFlipMicros();
// GetProcAddress finds no procedure of this name (an older Windows).
void FakeMissingProcedure(const std::string& name);
// Windows reports the console display's state (0 off, 1 on, 2 dimmed) to every window registered
// for it, as a sent WM_POWERBROADCAST. Registration itself sends the state of the moment.
void FakeSetDisplayPower(DWORD state);
// Windows registered for the display's state now.
int FakePowerRegistrations();
