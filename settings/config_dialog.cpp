// The configuration dialog (placeholder until the dialog lands: it closes at once).
#include "settings/config_dialog.h"

INT_PTR CALLBACK ConfigDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void OpenHomePage(HWND) {}
void RegisterDialogControls() {}
