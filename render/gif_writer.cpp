// giflib writer for the renderer's animation.
#include "render/gif_writer.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include "engine/compose.h"

namespace {

constexpr int kFrameDelayCentiseconds = 5;  // 50 ms, the saver's timer period

std::string GifError(const char* what, int code) {
  const char* text = GifErrorString(code);
  return std::string(what) + ": " + (text ? text : "unknown giflib error");
}

// The application extension that makes viewers repeat the animation forever (count 0).
bool PutLoopExtension(GifFileType* gif) {
  static const char kApplication[] = "NETSCAPE2.0";
  static const unsigned char kLoopForever[] = {1, 0, 0};
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, kApplication) == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, kLoopForever) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
}

}  // namespace

bool OpenGif(const std::string& path, GifFileType*& gif, std::string& error) {
  // Opened here rather than by giflib, which would create the file readable by its owner only.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) {
    error = "cannot write '" + path + "'";
    return false;
  }
  int code = 0;
  gif = EGifOpenFileHandle(fd, &code);  // closes fd when it is closed
  if (gif == nullptr) {
    close(fd);
    error = GifError(("cannot write '" + path + "'").c_str(), code);
    return false;
  }
  // The delay and loop extensions need GIF89a; giflib cannot tell that before the first frame.
  EGifSetGifVersion(gif, true);
  // No global colour map: every frame brings its own.
  if (EGifPutScreenDesc(gif, kFrameWidth, kFrameHeight, 8, 0, nullptr) != GIF_OK ||
      !PutLoopExtension(gif)) {
    error = GifError("writing the GIF header failed", gif->Error);
    EGifCloseFile(gif, &code);
    gif = nullptr;
    return false;
  }
  return true;
}

bool AddGifFrame(GifFileType* gif, const std::uint8_t* pixels, std::ptrdiff_t pitch,
                 const PaletteEntries entries, EntryLayout layout, std::string& error) {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSAL_UNSPECIFIED;
  control.DelayTime = kFrameDelayCentiseconds;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType controlBytes[4];
  EGifGCBToExtension(&control, controlBytes);

  ColorMapObject* map = GifMakeMapObject(kPaletteSize, nullptr);
  if (map == nullptr) {
    error = "out of memory for a GIF colour map";
    return false;
  }
  const bool rgbQuad = layout == EntryLayoutRgbQuad;
  for (int i = 0; i < kPaletteSize; ++i) {
    map->Colors[i].Red = entries[i][rgbQuad ? 2 : 0];
    map->Colors[i].Green = entries[i][1];
    map->Colors[i].Blue = entries[i][rgbQuad ? 0 : 2];
  }
  bool ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, controlBytes) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, kFrameWidth, kFrameHeight, false, map) == GIF_OK;
  GifFreeMapObject(map);  // giflib keeps its own copy
  for (int row = 0; ok && row < kFrameHeight; ++row)
    ok = EGifPutLine(gif, const_cast<GifPixelType*>(pixels + row * pitch), kFrameWidth) == GIF_OK;
  if (!ok) error = GifError("writing a GIF frame failed", gif->Error);
  return ok;
}

bool CloseGif(GifFileType* gif, std::string& error) {
  int code = 0;
  if (EGifCloseFile(gif, &code) != GIF_OK) {
    error = GifError("closing the GIF failed", code);
    return false;
  }
  return true;
}
