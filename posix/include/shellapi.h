// The shell call the configuration dialog uses to open the home page, for builds on Linux.
#pragma once

#include "windows.h"

// A result above 32 means the program started; 32 and below are error codes.
HINSTANCE ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, INT showCommand);
