// The GDI back-end: a 640 x 480 x 8 bottom-up DIB section kept selected into a memory device
// context for the whole run. The engine writes straight into its pixel memory; the paint copies it
// to the saver window.
#include "display/gdi_backend.h"

#include "display/display_resources.h"
#include "engine/compose.h"
#include "engine/frame_place.h"
#include "host/saver_state.h"

namespace {

constexpr std::size_t kBitmapInfoBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
constexpr DWORD kRestoreSettleMs = 100;

}  // namespace

void SwitchDisplay() {
  // Only the size is asked for: the display keeps its depth and GDI converts the 8-bit frame.
  DEVMODEA mode = {};
  mode.dmSize = sizeof(DEVMODEA);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  mode.dmPelsWidth = kDisplayWidth;
  mode.dmPelsHeight = kDisplayHeight;
  ChangeDisplaySettingsA(&mode, 0);
}

void AllocateBitmapInfo() {
  // GPTR zero-fills, so the colour table starts black and the reserved bytes stay 0.
  auto* info = static_cast<BITMAPINFO*>(GlobalAlloc(GPTR, kBitmapInfoBytes));
  displayResources.bitmapInfo = info;
  if (info == nullptr) {
    displayResources.colorTable = nullptr;
    return;
  }
  BITMAPINFOHEADER& header = info->bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = kDisplayWidth;
  header.biHeight = kDisplayHeight;  // positive: bottom-up, the first row is shown at the bottom
  header.biPlanes = 1;
  header.biBitCount = kDisplayBitsPerPixel;
  header.biCompression = BI_RGB;
  displayResources.colorTable = info->bmiColors;
}

void CreateDibSurface(HWND window) {
  HDC windowDc = GetDC(window);
  void* bits = nullptr;
  displayResources.dibSection =
      CreateDIBSection(windowDc, displayResources.bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  // 640 bytes a row is a multiple of 4, so the DIB rows carry no padding.
  framePixels = static_cast<std::uint8_t*>(bits);
  framePitch = kFrameWidth;
  displayResources.memoryDc = CreateCompatibleDC(windowDc);
  SelectObject(displayResources.memoryDc, displayResources.dibSection);
  ReleaseDC(window, windowDc);
}

// Only the bars are painted black, so nothing under the picture is erased between frames and
// nothing flickers.
void PaintFittedFrame(HDC dc, const RECT& area, HDC source) {
  const FramePlace fitted = FitFrame(area.right, area.bottom);
  const int right = fitted.x + fitted.width, bottom = fitted.y + fitted.height;
  if (fitted.x > 0) {
    PatBlt(dc, 0, 0, fitted.x, area.bottom, BLACKNESS);
    PatBlt(dc, right, 0, area.right - right, area.bottom, BLACKNESS);
  }
  if (fitted.y > 0) {
    PatBlt(dc, 0, 0, area.right, fitted.y, BLACKNESS);
    PatBlt(dc, 0, bottom, area.right, area.bottom - bottom, BLACKNESS);
  }
  // Nearest neighbour: whole pixels of the palette's colours, no blending.
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, fitted.x, fitted.y, fitted.width, fitted.height, source, 0, 0, kDisplayWidth,
             kDisplayHeight, SRCCOPY);
}

void PaintFrame(HWND) {
  RECT client = {};
  GetClientRect(saverWindow, &client);
  PAINTSTRUCT paint = {};
  HDC dc = BeginPaint(saverWindow, &paint);
  if (currentMode == ModeGdiFullScreen) {
    // The display switch worked: the frame fills the screen one to one.
    if (client.right == kDisplayWidth && client.bottom == kDisplayHeight) {
      BitBlt(dc, 0, 0, client.right, client.bottom, displayResources.memoryDc, 0, 0, SRCCOPY);
    } else {
      // The display kept another size (the switch was refused).
      PaintFittedFrame(dc, client, displayResources.memoryDc);
    }
  } else {
    StretchBlt(dc, 0, 0, client.right, client.bottom, displayResources.memoryDc, 0, 0,
               kDisplayWidth, kDisplayHeight, SRCCOPY);
  }
  EndPaint(saverWindow, &paint);
}

void RestoreDisplay() {
  ChangeDisplaySettingsA(nullptr, 0);
  Sleep(kRestoreSettleMs);
}

void ReleaseGdiBackend() {
  GlobalFree(displayResources.bitmapInfo);
  // The DIB section is still selected into the memory DC; deleting the DC first frees it.
  DeleteDC(displayResources.memoryDc);
  DeleteObject(displayResources.dibSection);
  // A window destroyed while it was being made is released here and then again by the failed
  // start; cleared records make that second release a no-op.
  displayResources.bitmapInfo = nullptr;
  displayResources.colorTable = nullptr;
  displayResources.memoryDc = nullptr;
  displayResources.dibSection = nullptr;
  framePixels = nullptr;
}

void FreeBitmapInfo() {
  if (displayResources.bitmapInfo != nullptr) GlobalFree(displayResources.bitmapInfo);
  displayResources.bitmapInfo = nullptr;
  displayResources.colorTable = nullptr;
}
