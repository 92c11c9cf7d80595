// System services that the saver looks up or waits on, for builds on Linux: the display mode's
// refresh rate, time and timer resolution, the message wait with a timeout, modules and their
// procedures, and the power notifications. Included by windows.h; implemented on Linux only by the
// test fake in tests/fake_win32.
#pragma once

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};

typedef long long LONGLONG;
union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
};

typedef HINSTANCE HMODULE;
typedef INT_PTR(WINAPI* FARPROC)();
typedef void* HPOWERNOTIFY;
typedef unsigned char UCHAR;

struct POWERBROADCAST_SETTING {
  GUID PowerSetting;
  DWORD DataLength;
  UCHAR Data[1];
};

#define WM_POWERBROADCAST 0x0218
#define PBT_POWERSETTINGCHANGE 0x8013
#define DEVICE_NOTIFY_WINDOW_HANDLE 0x00000000
#define QS_ALLINPUT 0x04FF
#define MWMO_INPUTAVAILABLE 0x0004
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_TIMEOUT 258L
#define INFINITE 0xFFFFFFFF
#define TIMERR_NOERROR 0
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define S_OK 0L
#define E_ACCESSDENIED static_cast<HRESULT>(0x80070005L)

// user32, kernel32, winmm.
BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNumber, DEVMODEA* mode);
DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds,
                                  DWORD wakeMask, DWORD flags);
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
UINT timeBeginPeriod(UINT period);
UINT timeEndPeriod(UINT period);
HMODULE GetModuleHandleA(LPCSTR name);
HMODULE LoadLibraryA(LPCSTR name);
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
