// Helpers for the scenario tests of the saver on the recording fake: a fresh process (fake,
// settings file, every piece of process-wide state), a run of RunSaver that fails the test instead
// of hanging, and views of the call log.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "fake_win32/fake_calls.h"
#include "fake_win32/fake_window.h"

// The settings file holding `keys` ("pal=0\ndirect_x=1"), or no file when empty; every piece of
// process-wide state back at program start; a 1024 x 768 screen with the cursor at (100, 100).
void FreshProcess(const std::string& keys = "");
// RunSaver with the tail; a FakeHang fails the test and gives -1.
int RunSaverWith(const std::string& tail);
// The calls named in `names`, in order, each as "Name(arg, arg)".
std::vector<std::string> CallsAmong(const std::vector<std::string>& names, int from = 0);
// The arguments of the n-th call of `name` (empty when there is none).
std::vector<std::string> ArgsOf(const std::string& name, int n = 0);
// Index of the first call named `name` at or after `from` in the log; -1 when none.
int IndexOf(const std::string& name, int from = 0);
// The program's instance handle as the tests pass it.
HINSTANCE TestInstance();
// A host window for the preview with a client area of width x height; its handle as decimal text.
HWND AddPreviewHost(int width, int height);
std::string HandleText(HWND window);

// Outside events for the run, in the order scheduled (see FakeSchedule for `idlePolls`): input to
// the focused window, a key (the way a user ends a full-screen run), timer ticks.
void ScheduleInput(UINT message, WPARAM wParam = 0, int idlePolls = 0);
void ScheduleKey(int idlePolls = 0);
void ScheduleTicks(int ticks, int idlePolls = 0);
