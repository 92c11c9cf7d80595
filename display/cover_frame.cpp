// The covers' frame: the GDI modes' DIB section as it is, or the DirectDraw mode's copy of the
// offscreen surface in a top-down DIB, so that row 0 is at the top there as on the primary monitor.
#include "display/cover_frame.h"

#include <cstdint>
#include <cstring>

#include "display/display_resources.h"
#include "engine/compose.h"
#include "host/saver_state.h"

namespace {

// The header and its 256 colours in one block, as CreateDIBSection reads them.
struct CoverBitmapInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

struct CoverFrame {
  HBITMAP dib;
  HDC dc;
  std::uint8_t* pixels;
};

CoverFrame coverFrame = {};

// Reads the 640 bytes of every row from the pitch the lock reports.
void CopyOffscreenFrame() {
  LPDIRECTDRAWSURFACE offscreen = displayResources.offscreenSurface;
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof(DDSURFACEDESC);
  if (offscreen->Lock(nullptr, &desc, DDLOCK_READONLY, nullptr) != DD_OK) return;
  const auto* source = static_cast<const std::uint8_t*>(desc.lpSurface);
  if (source != nullptr && desc.lPitch >= kFrameWidth) {
    for (int row = 0; row < kFrameHeight; ++row)
      std::memcpy(coverFrame.pixels + row * kFrameWidth, source + row * desc.lPitch, kFrameWidth);
  }
  offscreen->Unlock(nullptr);
}

// The hardware palette's entries as the DIB's colours (red and blue change places).
void CopyPaletteColours() {
  if (displayResources.palette == nullptr) return;
  PALETTEENTRY entries[256] = {};
  if (displayResources.palette->GetEntries(0, 0, 256, entries) != DD_OK) return;
  RGBQUAD colours[256] = {};
  for (int i = 0; i < 256; ++i)
    colours[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
  SetDIBColorTable(coverFrame.dc, 0, 256, colours);
}

}  // namespace

void CreateCoverFrame() {
  if (currentMode != ModeDirectDraw) return;
  CoverBitmapInfo info = {};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = kDisplayWidth;
  info.header.biHeight = -kDisplayHeight;  // negative: top-down, as the DirectDraw frame is shown
  info.header.biPlanes = 1;
  info.header.biBitCount = kDisplayBitsPerPixel;
  info.header.biCompression = BI_RGB;
  void* bits = nullptr;
  coverFrame.dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  if (coverFrame.dib == nullptr) return;
  coverFrame.pixels = static_cast<std::uint8_t*>(bits);
  coverFrame.dc = CreateCompatibleDC(nullptr);
  if (coverFrame.dc != nullptr) SelectObject(coverFrame.dc, coverFrame.dib);
}

void RefreshCoverFrame() {
  if (currentMode != ModeDirectDraw || coverFrame.dc == nullptr || coverFrame.pixels == nullptr)
    return;
  if (displayResources.offscreenSurface == nullptr) return;
  CopyOffscreenFrame();
  CopyPaletteColours();
}

HDC CoverFrameDc() {
  return currentMode == ModeDirectDraw ? coverFrame.dc : displayResources.memoryDc;
}

void ReleaseCoverFrame() {
  // The DIB section is still selected into the DC; deleting the DC first frees it.
  if (coverFrame.dc != nullptr) DeleteDC(coverFrame.dc);
  if (coverFrame.dib != nullptr) DeleteObject(coverFrame.dib);
  coverFrame = {};
}
