// The GDI and kernel areas of the test fake, as the scenario tests inspect them: DIB sections with
// their pixel memory and colour table, and the global memory blocks still allocated.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

// The colour table of the DIB section selected into `dc` (empty when there is none).
std::vector<RGBQUAD> FakeDibColours(HDC dc);
// Global memory blocks allocated and not yet freed.
std::size_t FakeLiveGlobalBlocks();
