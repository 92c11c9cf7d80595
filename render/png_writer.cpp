// libpng writer for the renderer's last frame.
#include "render/png_writer.h"

#include <png.h>

#include "engine/compose.h"

namespace {

// Red, green, blue of one entry in either layout.
png_color EntryColour(const std::uint8_t* entry, EntryLayout layout) {
  if (layout == EntryLayoutRgbQuad) return png_color{entry[2], entry[1], entry[0]};
  return png_color{entry[0], entry[1], entry[2]};
}

// libpng's own handlers print to stderr; its reason goes into the renderer's one line instead.
void KeepPngError(png_structp png, png_const_charp message) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = message;
  png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

}  // namespace

bool WriteIndexedPng(std::FILE* file, const std::uint8_t* pixels, std::ptrdiff_t pitch,
                     const PaletteEntries entries, EntryLayout layout, std::string& error) {
  std::string reason;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &reason, KeepPngError, IgnorePngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    error = "out of memory for the PNG writer";
    return false;
  }
  // libpng reports write errors (a full disk) by jumping back here.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = "writing the PNG failed: " + reason;
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, kFrameWidth, kFrameHeight, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colours[kPaletteSize];
  for (int i = 0; i < kPaletteSize; ++i) colours[i] = EntryColour(entries[i], layout);
  png_set_PLTE(png, info, colours, kPaletteSize);
  png_write_info(png, info);
  for (int row = 0; row < kFrameHeight; ++row)
    png_write_row(png, const_cast<png_bytep>(pixels + row * pitch));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}
