// glimra-make-icon: writes icon 103 of glimra.scr, a 32 x 32 icon in 16 colours, from the saver's
// own ring pattern (the wave table around its centre) in colours of the first palette.
// Usage: glimra-make-icon OUT.ico. The icon in resources/ is this tool's output, committed.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/palette.h"
#include "engine/engine.h"
#include "engine/ring_tables.h"

namespace {

constexpr int kSize = 32;
constexpr int kColours = 16;
constexpr int kTableStep = 7;  // table cells per icon pixel: a few rings fit into the icon
// The palette's channels stop at 62 of 255; the icon shows the same hues four times as bright.
constexpr int kBrightness = 4;

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, unsigned value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// The icon's 16 colour indices, rows top-down, from the wave table of a started engine.
std::vector<std::uint8_t> IconPixels() {
  std::vector<std::uint8_t> pixels(kSize * kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const int row = kRingCentreRow + (y - kSize / 2) * kTableStep;
      const int column = kRingCentreColumn + (x - kSize / 2) * kTableStep;
      pixels[y * kSize + x] = waveTable[row * kRingTableColumns + column] / kColours;
    }
  return pixels;
}

std::vector<std::uint8_t> IconFile() {
  static PaletteEntries entries;
  StartEngine(entries);
  const std::vector<std::uint8_t> pixels = IconPixels();
  const unsigned xorBytes = kSize * kSize / 2;  // 4 bits a pixel, 16 bytes a row
  const unsigned andBytes = kSize * 4;          // 1 bit a pixel, rows padded to 4 bytes
  const unsigned imageBytes = 40 + kColours * 4 + xorBytes + andBytes;

  std::vector<std::uint8_t> out;
  Put16(out, 0);  // icon directory: reserved, type 1 (icon), one image
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(kSize);  // directory entry: width, height, colours, reserved, planes, bits
  out.push_back(kSize);
  out.push_back(kColours);
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 4);
  Put32(out, imageBytes);
  Put32(out, 6 + 16);  // the image follows the directory
  // The image: a bitmap header whose height counts the colour rows and the mask rows.
  Put32(out, 40);
  Put32(out, kSize);
  Put32(out, kSize * 2);
  Put16(out, 1);
  Put16(out, 4);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int c = 0; c < kColours; ++c)
    for (int b = 0; b < 4; ++b) out.push_back(b == 3 ? 0 : entries[c * kColours][b] * kBrightness);
  // Bitmap rows are stored bottom-up.
  for (int y = kSize - 1; y >= 0; --y)
    for (int x = 0; x < kSize; x += 2)
      out.push_back(pixels[y * kSize + x] << 4 | pixels[y * kSize + x + 1]);
  out.insert(out.end(), andBytes, 0);  // every pixel opaque
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: glimra-make-icon OUT.ico\n");
    return 2;
  }
  const std::vector<std::uint8_t> icon = IconFile();
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr || std::fwrite(icon.data(), 1, icon.size(), file) != icon.size() ||
      std::fclose(file) != 0) {
    std::fprintf(stderr, "glimra-make-icon: cannot write '%s'\n", argv[1]);
    return 1;
  }
  return 0;
}
