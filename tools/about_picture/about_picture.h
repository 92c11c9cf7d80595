// The about area's picture of the configuration dialog: a 60 x 78 crop of a ring frame, with the
// frame's palette, as an 8-bit bottom-up Windows bitmap file. Made by the about_picture tool.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kAboutPictureWidth = 60;
constexpr int kAboutPictureHeight = 78;
// The resource holds the bitmap without the 14-byte file header: a 40-byte header, 256 colours of
// 4 bytes and 78 rows of 60 bytes (already a multiple of four, so no row padding).
constexpr int kAboutPictureFileHeaderBytes = 14;
constexpr int kAboutPictureResourceBytes = 40 + 256 * 4 + kAboutPictureWidth * kAboutPictureHeight;

// The whole .bmp file, always the same bytes for the same engine.
std::vector<std::uint8_t> MakeAboutPicture();
