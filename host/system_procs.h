// Procedures that only some versions of Windows have, looked up at run time so that the one 32-bit
// program still starts where they are missing.
#pragma once

#include <windows.h>

// `name` in `module` as a procedure of type Procedure; null where the module or the name is
// missing. The detour through a procedure without parameters is the documented way to change a
// looked-up procedure's type.
template <typename Procedure>
Procedure FindProcedure(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Procedure>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
