// glimra-e2e-host.exe: the other program of the Wine end-to-end tests.
//   place L T R B FILE   a captioned window at the rectangle; when the display shrinks it moves
//                        into the smaller screen, as a system does with windows left outside;
//                        writes its rectangle "L T R B" to FILE every 100 ms
//   preview W H FILE     a window with a W x H client area, the host of a preview; writes
//                        "host=HWND child=W H" (child 0 0 until the saver's child appears)
//   display FILE         writes the current display mode "W H BPP" and ends
//   icon PROGRAM FILE    writes what icon group 103 of PROGRAM holds: "images=N WxH colours=C"
// The window programs end when FILE.quit exists, destroying their window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string outFile;
bool placeMode = false;

void WriteAtomically(const std::string& text) {
  const std::string temporary = outFile + ".tmp";
  if (FILE* f = std::fopen(temporary.c_str(), "w")) {
    std::fputs(text.c_str(), f);
    std::fclose(f);
    MoveFileExA(temporary.c_str(), outFile.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

void Report(HWND window) {
  char text[128];
  if (placeMode) {
    RECT r;
    GetWindowRect(window, &r);
    std::snprintf(text, sizeof text, "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  } else {
    RECT c = {};
    HWND child = FindWindowExA(window, nullptr, "Glimra", nullptr);
    if (child) GetClientRect(child, &c);
    std::snprintf(text, sizeof text, "host=%ld child=%ld %ld\n",
                  static_cast<long>(reinterpret_cast<LONG_PTR>(window)), c.right, c.bottom);
  }
  WriteAtomically(text);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      Report(window);
      if (GetFileAttributesA((outFile + ".quit").c_str()) != INVALID_FILE_ATTRIBUTES)
        DestroyWindow(window);
      return 0;
    case WM_DISPLAYCHANGE:
      if (placeMode && LOWORD(lParam) < 1024)
        SetWindowPos(window, nullptr, 0, 0, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int RunWindow(int x, int y, int width, int height) {
  WNDCLASSA c = {};
  c.lpfnWndProc = HostProc;
  c.hInstance = GetModuleHandleA(nullptr);
  c.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  c.lpszClassName = "GlimraE2eHost";
  RegisterClassA(&c);
  HWND window = CreateWindowExA(0, c.lpszClassName, "e2e host", WS_OVERLAPPEDWINDOW, x, y, width,
                                height, nullptr, nullptr, c.hInstance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  SetTimer(window, 1, 100, nullptr);
  Report(window);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "place" && argc == 7) {
    placeMode = true;
    outFile = argv[6];
    const int l = std::atoi(argv[2]), t = std::atoi(argv[3]);
    return RunWindow(l, t, std::atoi(argv[4]) - l, std::atoi(argv[5]) - t);
  }
  if (mode == "preview" && argc == 5) {
    outFile = argv[4];
    RECT r = {0, 0, std::atoi(argv[2]), std::atoi(argv[3])};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return RunWindow(20, 20, r.right - r.left, r.bottom - r.top);
  }
  if (mode == "display" && argc == 3) {
    outFile = argv[2];
    DEVMODEA dm = {};
    dm.dmSize = sizeof dm;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &dm);
    char text[64];
    std::snprintf(text, sizeof text, "%lu %lu %lu\n", dm.dmPelsWidth, dm.dmPelsHeight,
                  dm.dmBitsPerPel);
    WriteAtomically(text);
    return 0;
  }
  if (mode == "icon" && argc == 4) {
    outFile = argv[3];
    HMODULE program = LoadLibraryExA(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = program ? FindResourceA(program, MAKEINTRESOURCEA(103), RT_GROUP_ICON) : nullptr;
    const BYTE* group =
        found ? static_cast<const BYTE*>(LockResource(LoadResource(program, found))) : nullptr;
    if (group == nullptr) {
      WriteAtomically("no icon 103\n");
      return 1;
    }
    // The group: reserved, type, count (16 bits each), then 14-byte entries: width, height,
    // colour count, ...
    char text[64];
    std::snprintf(text, sizeof text, "images=%d %dx%d colours=%d\n", group[4] | group[5] << 8,
                  group[6], group[7], group[8]);
    WriteAtomically(text);
    return 0;
  }
  std::fprintf(stderr,
               "usage: glimra-e2e-host place L T R B FILE | preview W H FILE | display FILE | icon "
               "PROGRAM FILE\n");
  return 2;
}
