// The part of the Win32 interface that Glimra's code uses, for builds on Linux. Only declarations:
// the private-profile functions are implemented for real in posix/private_profile.cpp (used by the
// native tools); the window, GDI and DirectDraw functions only by the test fake in
// tests/fake_win32.
#pragma once

#include <cstddef>
#include <cstdint>

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

struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;

#define WINAPI
#define CALLBACK
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// kernel32: private profiles.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
// user32: formatted printing (the subset of conversions the program uses: %d, %u, %s, %x).
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
