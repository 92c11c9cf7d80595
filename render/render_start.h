// The start of a headless run: the settings file read, the engine started, the frame memory set,
// exactly as the saver starts, for the renderer and for the tools and tests that compare pictures
// with its frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/palette.h"

// Reads `iniPath` (the machine's settings file when empty) into a fresh settings record, starts
// the engine from program start with `entries` as the colour table, and lets it draw into
// `frame` (640 x 480, rows 640 bytes apart). Each call starts a new run.
void StartRendering(const std::string& iniPath, PaletteEntries entries,
                    std::vector<std::uint8_t>& frame);
