// The part of the Win32 interface that Glimra's code uses, for builds on Linux. Only declarations:
// the private-profile functions are implemented for real in posix/private_profile.cpp (used by the
// native tools); the window, GDI and DirectDraw functions only by the test fake in
// tests/fake_win32.
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

typedef int BOOL;
typedef int INT;
typedef unsigned int UINT;
typedef std::int32_t LONG;
typedef std::uint32_t DWORD;
typedef std::uint16_t WORD;
typedef std::uint8_t BYTE;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef void* HANDLE;

typedef std::intptr_t INT_PTR;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;

#define LOWORD(l) (static_cast<WORD>(static_cast<UINT_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<UINT_PTR>(l) >> 16) & 0xFFFF))
#define MAKELONG(a, b) \
  (static_cast<LONG>((static_cast<DWORD>(a) & 0xFFFF) | ((static_cast<DWORD>(b) & 0xFFFF) << 16)))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))

// Dialog boxes: declared here because the start-up runs the dialog; the rest of the dialog
// interface is in win32_dialog.h.
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPCSTR>(static_cast<UINT_PTR>(static_cast<WORD>(i))))
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam);

// kernel32: private profiles.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
// user32: formatted printing (the subset of conversions the program uses: %d, %u, %s, %x).
int wsprintfA(LPSTR buffer, LPCSTR format, ...);

// Windows, messages, GDI and kernel services used by the saver host and the GDI back-end.
#include "win32_window.h"
// The configuration dialog's controls, message box and shell.
#include "win32_dialog.h"
// Refresh rate, time, the message wait, modules and power notifications.
#include "win32_system.h"
