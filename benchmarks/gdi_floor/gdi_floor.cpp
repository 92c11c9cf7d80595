// The floor of what showing a frame through GDI costs: one unchanging frame presented exactly the
// way the saver's GDI modes present theirs (50 ms timer, whole window invalidated without erasing,
// one-to-one BitBlt in full screen, StretchBlt into a preview), with nothing composed per frame.
// benchmarks/measure-cpu.sh runs it beside glimra.scr. Also the host window for preview runs.
//
//   gdi_floor /s              full screen, like "glimra.scr /s" in the GDI mode
//   gdi_floor /p HWND         a child of HWND, like "glimra.scr /p HWND"
//   gdi_floor /host W H       a top-level W x H window that prints its handle (the preview host)
//   --palette (with /s, /p)   also hands the unchanged colour table over on every tick, as the
//                             saver does when its palette moves
//   --saver-loop              waits as the saver's loop does (peek, get, WaitMessage when empty)
//                             instead of blocking in GetMessageA
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/engine.h"

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameInterval = 50;  // ms: the saver's timer

struct FloorState {
  BITMAPINFO* bitmapInfo = nullptr;
  HBITMAP dibSection = nullptr;
  HDC memoryDc = nullptr;
  bool preview = false;
  bool palettePerTick = false;
  bool saverLoop = false;
};
FloorState floorState;

// The saver's bitmap: 640 x 480, 8 bits, bottom-up, 256 colours after the header.
void CreateFrame(HWND window) {
  const SIZE_T size = sizeof(BITMAPINFOHEADER) + kPaletteSize * sizeof(RGBQUAD);
  floorState.bitmapInfo = static_cast<BITMAPINFO*>(GlobalAlloc(GPTR, size));
  BITMAPINFOHEADER& header = floorState.bitmapInfo->bmiHeader;
  header.biSize = sizeof header;
  header.biWidth = kFrameWidth;
  header.biHeight = kFrameHeight;
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biCompression = BI_RGB;
  HDC windowDc = GetDC(window);
  void* pixels = nullptr;
  floorState.dibSection =
      CreateDIBSection(windowDc, floorState.bitmapInfo, DIB_RGB_COLORS, &pixels, nullptr, 0);
  floorState.memoryDc = CreateCompatibleDC(windowDc);
  SelectObject(floorState.memoryDc, floorState.dibSection);
  ReleaseDC(window, windowDc);
  // One real frame and the first palette, composed once: the picture costs GDI what the saver's
  // pictures cost it, and never changes.
  auto* entries = reinterpret_cast<PaletteEntries*>(floorState.bitmapInfo->bmiColors);
  StartEngine(*entries);
  framePixels = static_cast<std::uint8_t*>(pixels);
  if (framePixels) ComposeFrame();
  SetDIBColorTable(floorState.memoryDc, 0, kPaletteSize, floorState.bitmapInfo->bmiColors);
}

void PaintFrame(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (floorState.preview)
    StretchBlt(dc, 0, 0, r.right, r.bottom, floorState.memoryDc, 0, 0, kFrameWidth, kFrameHeight,
               SRCCOPY);
  else
    BitBlt(dc, 0, 0, r.right, r.bottom, floorState.memoryDc, 0, 0, SRCCOPY);
  EndPaint(window, &paint);
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (floorState.palettePerTick)
        SetDIBColorTable(floorState.memoryDc, 0, kPaletteSize, floorState.bitmapInfo->bmiColors);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT:
      PaintFrame(window);
      return 0;
    case WM_DESTROY:
      // Released in the saver's order: header block, memory DC, then the bitmap it held.
      KillTimer(window, kFrameTimer);
      GlobalFree(floorState.bitmapInfo);
      DeleteDC(floorState.memoryDc);
      DeleteObject(floorState.dibSection);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Register(const char* name, WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

int RunLoop() {
  MSG message;
  if (!floorState.saverLoop) {
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    return 0;
  }
  // The saver's loop: a message is looked at before it is taken, and an empty queue is waited on.
  for (;;) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!GetMessageA(&message, nullptr, 0, 0)) return 0;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else {
      WaitMessage();
    }
  }
}

int RunHost(int width, int height) {
  Register("GlimraFloorHost", HostWindowProc);
  HWND host = CreateWindowExA(0, "GlimraFloorHost", "Preview host", WS_OVERLAPPEDWINDOW, 0, 0,
                              width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!host) return 1;
  ShowWindow(host, SW_SHOW);
  UpdateWindow(host);
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(host)));
  std::fflush(stdout);
  return RunLoop();
}

int RunFloor(HWND parent) {
  Register("GlimraFloor", FloorWindowProc);
  HWND window;
  if (parent) {
    RECT r;
    GetClientRect(parent, &r);
    window = CreateWindowExA(0, "GlimraFloor", "", WS_CHILD, 0, 0, r.right, r.bottom, parent,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  } else {
    // The saver's display switch; already the mode on a 640 x 480 display.
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = kFrameWidth;
    mode.dmPelsHeight = kFrameHeight;
    ChangeDisplaySettingsA(&mode, 0);
    window = CreateWindowExA(WS_EX_TOPMOST, "GlimraFloor", "Glimra floor", WS_POPUP, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  if (!window) return 1;
  CreateFrame(window);
  SetTimer(window, kFrameTimer, kFrameInterval, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetFocus(window);
  if (!parent) ShowCursor(FALSE);
  const int code = RunLoop();
  if (!parent) ChangeDisplaySettingsA(nullptr, 0);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  bool palette = false;
  const char* mode = nullptr;
  const char* values[2] = {nullptr, nullptr};
  int valueCount = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--palette") == 0)
      palette = true;
    else if (std::strcmp(argv[i], "--saver-loop") == 0)
      floorState.saverLoop = true;
    else if (!mode)
      mode = argv[i];
    else if (valueCount < 2)
      values[valueCount++] = argv[i];
  }
  floorState.palettePerTick = palette;
  if (mode && std::strcmp(mode, "/host") == 0)
    return RunHost(values[0] ? std::atoi(values[0]) : 320, values[1] ? std::atoi(values[1]) : 240);
  if (mode && std::strcmp(mode, "/s") == 0) return RunFloor(nullptr);
  if (mode && std::strcmp(mode, "/p") == 0 && values[0]) {
    floorState.preview = true;
    const auto handle = static_cast<UINT_PTR>(std::strtoull(values[0], nullptr, 10));
    return RunFloor(reinterpret_cast<HWND>(handle));
  }
  std::fprintf(stderr, "usage: gdi_floor /s | /p HWND | /host [W H]  [--palette] [--saver-loop]\n");
  return 2;
}
