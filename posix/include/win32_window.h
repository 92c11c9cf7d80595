// Windows, messages, GDI and kernel services used by the saver host and the GDI back-end.
// Included by windows.h.
#pragma once
