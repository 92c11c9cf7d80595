// Writing one 640x480 frame of palette indices as an 8-bit indexed PNG whose PLTE holds the
// colour table's red, green and blue bytes unchanged.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/palette.h"

// Writes to an already opened file (opened early so that an unwritable path fails before the
// frames are made). Rows go out top first, `pitch` bytes apart. Returns false with a reason.
bool WriteIndexedPng(std::FILE* file, const std::uint8_t* pixels, std::ptrdiff_t pitch,
                     const PaletteEntries entries, EntryLayout layout, std::string& error);
