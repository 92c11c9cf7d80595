// Writing the renderer's frames as a looping animated GIF: each frame carries its own 256-entry
// colour map, because the palette changes every frame, and shows for 50 ms.
#pragma once

#include <cstdint>
#include <string>

#include "engine/palette.h"

struct GifFileType;

// Opens the file and writes the header and the loop extension; false with a reason if it cannot.
bool OpenGif(const std::string& path, GifFileType*& gif, std::string& error);
// Appends one 640x480 frame, rows top first, `pitch` bytes apart.
bool AddGifFrame(GifFileType* gif, const std::uint8_t* pixels, std::ptrdiff_t pitch,
                 const PaletteEntries entries, EntryLayout layout, std::string& error);
// Writes the trailer and closes the file (also after a failed frame, to release it).
bool CloseGif(GifFileType* gif, std::string& error);
