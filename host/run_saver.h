// The saver's whole life: the single-instance rule, the settings, the mode, the set-up of the
// window and its back-end (or the configuration dialog), and the message loop.
#pragma once

#include <windows.h>

constexpr char kSaverMutexName[] = "Glimra ScreenSaver";
constexpr char kSaverClassName[] = "Glimra";
constexpr char kSaverWindowTitle[] = "Glimra";

// The process exit code, which is 0 on every path.
int RunSaver(HINSTANCE instance, const char* commandTail, int showCommand);
// True when the saver window runs and the message loop is to be entered; false when the program
// is to end (after the configuration dialog, or on a failure, with everything undone).
bool SetUpSaver(HINSTANCE instance, int showCommand, const char* commandTail);
// Returns the exit code carried by the quit message.
int RunMessageLoop();
