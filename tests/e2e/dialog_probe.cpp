// dialog_probe: looks into the configuration dialog of another process under Wine, for the
// end-to-end scripts. Commands (one per run):
//   wait              waits up to 20 s for the dialog; exit code 0 when it is there
//   state             prints the controls' states and texts, "name=value" lines in UTF-8
//   click ID          clicks the button with that id (as the mouse would)
//   warnings          prints the caption and text of every message box that is open
// The dialog is the top-level #32770 window with the palette box (id 115); a message box is any
// other top-level #32770 window.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kPaletteId = 115;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size - 1));
  return out;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

void Print(const char* name, const std::string& value) {
  std::printf("%s=%s\n", name, value.c_str());
}

std::vector<HWND> DialogWindows() {
  std::vector<HWND> found;
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr)
    if (IsWindowVisible(window)) found.push_back(window);
  return found;
}

HWND ConfigDialog() {
  for (HWND window : DialogWindows())
    if (GetDlgItem(window, kPaletteId)) return window;
  return nullptr;
}

int Wait() {
  for (int i = 0; i < 200; ++i) {
    if (ConfigDialog()) return 0;
    Sleep(100);
  }
  std::fprintf(stderr, "no dialog\n");
  return 1;
}

int State() {
  const HWND dialog = ConfigDialog();
  if (!dialog) return 1;
  Print("caption", Utf8(WindowText(dialog)));
  const struct {
    const char* name;
    int id;
  } bars[] = {{"cir", 1000}, {"dx_r", 1001}, {"dx_g", 1002}, {"dx_b", 1003}, {"cycle", 1004}};
  for (const auto& bar : bars) {
    const HWND control = GetDlgItem(dialog, bar.id);
    const auto low = SendMessageW(control, TBM_GETRANGEMIN, 0, 0);
    const auto high = SendMessageW(control, TBM_GETRANGEMAX, 0, 0);
    const auto position = SendMessageW(control, TBM_GETPOS, 0, 0);
    Print(bar.name, std::to_string(position) + " of " + std::to_string(low) + ".." +
                        std::to_string(high));
  }
  Print("enlarge", std::to_string(IsDlgButtonChecked(dialog, 103)));
  Print("tile", std::to_string(IsDlgButtonChecked(dialog, 104)));
  Print("direct_x", std::to_string(IsDlgButtonChecked(dialog, 108)));
  const HWND box = GetDlgItem(dialog, kPaletteId);
  const auto count = SendMessageW(box, CB_GETCOUNT, 0, 0);
  std::string entries;
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[64] = {};
    SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries += (i ? "," : "") + Utf8(text);
  }
  Print("palette", entries);
  Print("selection", std::to_string(SendMessageW(box, CB_GETCURSEL, 0, 0)));
  // Every control's id and text, in the dialog's order.
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    Print("control", std::to_string(static_cast<short>(GetDlgCtrlID(child))) + "|" +
                         Utf8(WindowText(child)));
  return 0;
}

int Click(int id) {
  const HWND dialog = ConfigDialog();
  if (!dialog) return 1;
  // Posted, so that a message box the click opens does not block the probe.
  PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  return 0;
}

int Warnings() {
  for (HWND window : DialogWindows()) {
    if (GetDlgItem(window, kPaletteId)) continue;
    std::wstring text;
    for (HWND child = FindWindowExW(window, nullptr, L"Static", nullptr); child;
         child = FindWindowExW(window, child, L"Static", nullptr))
      text += WindowText(child);
    Print("warning", Utf8(WindowText(window)) + "|" + Utf8(text));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "wait") return Wait();
  if (command == "state") return State();
  if (command == "click" && argc > 2) return Click(std::atoi(argv[2]));
  if (command == "warnings") return Warnings();
  std::fprintf(stderr, "usage: dialog_probe wait|state|click ID|warnings\n");
  return 2;
}
