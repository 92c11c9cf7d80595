// The saver window's procedure: the frame timer, the paint, the input that ends a full-screen run,
// and the end of the run when the window is destroyed.
#pragma once

#include <windows.h>

constexpr UINT_PTR kFrameTimerId = 1;
constexpr UINT kFrameTimerMs = 50;
// The saver closes at the mouse-move that makes the count of moves to a new place exceed this.
constexpr int kMouseMovesTolerated = 3;

// Consecutive mouse-move messages that found the cursor somewhere new.
extern int mouseMoveCount;
extern POINT lastCursorPos;

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
