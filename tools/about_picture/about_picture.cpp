// Renders the about picture with the ring engine: the default settings but tiled, a few dozen
// frames into the animation so that the rings and colours have moved away from their start, and a
// crop around the frame's centre.
#include "tools/about_picture/about_picture.h"

#include <cstring>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/engine.h"
#include "settings/saver_settings.h"

namespace {

constexpr int kFramesToRun = 48;
// Inside the first copy of the tile, so that no seam between the copies shows.
constexpr int kCropLeft = 50;
constexpr int kCropTop = 21;
// The palette's channels run from 0 to 62, which shows the small picture very dark; four times
// brighter keeps every colour's hue and still fits a byte (248 at most).
constexpr int kBrightness = 4;

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Runs the saver's start-up and frame steps without a window: tables, first palette, scaled
// speeds, then the timer path's palette step and composition for each frame.
void RunFrames(std::vector<std::uint8_t>& frame, PaletteEntries colours) {
  saverSettings = SaverSettings{};
  saverSettings.one = 0;  // tiled: the crop shows the tile one to one, rings and all
  ResetEngine();
  StartEngine(colours);
  framePixels = frame.data();
  framePitch = kFrameWidth;
  for (int i = 0; i < kFramesToRun; ++i) StepFrame(colours);
  framePixels = nullptr;
}

}  // namespace

std::vector<std::uint8_t> MakeAboutPicture() {
  std::vector<std::uint8_t> frame(kFrameBytes);
  PaletteEntries colours = {};
  RunFrames(frame, colours);

  const std::uint32_t pixelBytes = kAboutPictureWidth * kAboutPictureHeight;
  const std::uint32_t pixelOffset = kAboutPictureFileHeaderBytes + 40 + 256 * 4;
  std::vector<std::uint8_t> out;
  // File header: "BM", file size, two reserved words, offset of the pixels.
  out.push_back('B');
  out.push_back('M');
  PutLittleEndian(out, pixelOffset + pixelBytes, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, pixelOffset, 4);
  // BITMAPINFOHEADER: a positive height marks the rows as bottom-up; no compression; 256 colours.
  PutLittleEndian(out, 40, 4);
  PutLittleEndian(out, kAboutPictureWidth, 4);
  PutLittleEndian(out, kAboutPictureHeight, 4);
  PutLittleEndian(out, 1, 2);  // planes
  PutLittleEndian(out, 8, 2);  // bits per pixel
  PutLittleEndian(out, 0, 4);  // BI_RGB
  PutLittleEndian(out, pixelBytes, 4);
  PutLittleEndian(out, 2835, 4);  // 72 dpi, both ways
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, 256, 4);
  PutLittleEndian(out, 0, 4);
  // The colour table in the frame's own RGBQUAD layout; the reserved byte stays 0.
  for (const auto& entry : colours) {
    for (int channel = 0; channel < 3; ++channel)
      out.push_back(static_cast<std::uint8_t>(entry[channel] * kBrightness));
    out.push_back(0);
  }
  // Bottom-up: the crop's last row comes first.
  for (int row = kAboutPictureHeight - 1; row >= 0; --row) {
    const std::uint8_t* source = frame.data() + (kCropTop + row) * kFrameWidth + kCropLeft;
    out.insert(out.end(), source, source + kAboutPictureWidth);
  }
  return out;
}
