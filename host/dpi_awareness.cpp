// Per-monitor DPI awareness, declared in code rather than in a manifest: a manifest would also have
// to leave out the execution level (the INI file in the Windows folder relies on file
// virtualisation) and the newer Windows versions (which refuse 8-bit modes to such programs).
#include "host/dpi_awareness.h"

#include <windows.h>

#include "host/system_procs.h"

namespace {

typedef BOOL(WINAPI* SetAwarenessContextProc)(HANDLE);
typedef HRESULT(WINAPI* SetProcessAwarenessProc)(int);
typedef BOOL(WINAPI* SetAwareProc)();

// The per-monitor V2 awareness context handle.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kProcessPerMonitorDpiAware = 2;

// shcore's per-monitor awareness; true when it holds afterwards (access denied: already declared).
bool DeclarePerMonitorThroughShcore() {
  HMODULE shcore = LoadLibraryA("shcore.dll");
  if (shcore == nullptr) return false;
  auto setAwareness = FindProcedure<SetProcessAwarenessProc>(shcore, "SetProcessDpiAwareness");
  bool declared = false;
  if (setAwareness != nullptr) {
    const HRESULT result = setAwareness(kProcessPerMonitorDpiAware);
    declared = result == S_OK || result == E_ACCESSDENIED;
  }
  FreeLibrary(shcore);
  return declared;
}

}  // namespace

void DeclareDpiAwareness() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  auto setContext = FindProcedure<SetAwarenessContextProc>(user32, "SetProcessDpiAwarenessContext");
  // Windows 10 before 1703 has the call but not the V2 context: it refuses, and the older way
  // holds.
  if (setContext != nullptr && setContext(kPerMonitorAwareV2)) return;
  if (DeclarePerMonitorThroughShcore()) return;
  auto setAware = FindProcedure<SetAwareProc>(user32, "SetProcessDPIAware");
  if (setAware != nullptr) setAware();
}
