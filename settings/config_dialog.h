// The configuration dialog: its procedure and the home-page button's action.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OpenHomePage(HWND window);
// Makes the control classes the dialog template uses (the trackbar) available; called by the
// start-up right before the dialog is created.
void RegisterDialogControls();
