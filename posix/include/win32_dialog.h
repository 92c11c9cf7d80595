// The configuration dialog's part of the Win32 interface: wide text, dialog controls, check states,
// the end of the dialog, the message box and the string table. Included by windows.h; the values
// are the platform's.
#pragma once

// Wide text: the string table's texts go through the W entry points. On Linux wchar_t holds UTF-32
// rather than UTF-16; the fake converts either way, and no code here relies on the width.
typedef wchar_t WCHAR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;

#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_HSCROLL 0x0114
#define WM_USER 0x0400

#define IDOK 1
#define IDCANCEL 2

// Button check states.
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define BST_INDETERMINATE 2

// Combo box messages and their failure result.
#define CB_ERR (-1)
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_INSERTSTRING 0x014A
#define CB_SETCURSEL 0x014E

// Message box types.
#define MB_OK 0x00000000
#define MB_ICONWARNING 0x00000030

// Show commands (ShellExecuteA's last argument).
#define SW_HIDE 0

HWND GetDlgItem(HWND dialog, int id);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL EndDialog(HWND dialog, INT_PTR result);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);
