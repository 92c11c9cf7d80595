// The configuration dialog's part of the Win32 interface: controls, message box. Included by
// windows.h.
#pragma once
