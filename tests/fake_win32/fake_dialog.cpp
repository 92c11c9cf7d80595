// The dialog part of the Win32 test fake: controls, check states, the end of the dialog, the
// message box, the shell and the common-controls registration. Each call is recorded with its
// arguments as text; messages by name, a combo box text as UTF-8, a trackbar range as
// "MAKELPARAM(low,high)".
#include "fake_win32/fake_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <map>

#include "fake_win32/fake_calls.h"

namespace {

// Control handles are their ids above a fixed base, so that a recorded handle names its control.
constexpr std::uintptr_t kControlBase = 0x10000;

std::map<int, FakeControl>& Controls() {
  static std::map<int, FakeControl> controls;
  return controls;
}

bool ended = false;
INT_PTR endResult = 0;

[[maybe_unused]] const bool registered = RegisterFakeReset([] {
  Controls().clear();
  ended = false;
  endResult = 0;
});

int IdOf(HWND window) {
  return static_cast<int>(reinterpret_cast<std::uintptr_t>(window) - kControlBase);
}

std::string ControlText(HWND window) {
  const auto value = reinterpret_cast<std::uintptr_t>(window);
  if (value < kControlBase || value > kControlBase + 0xFFFF) return FakeHex(value);
  return "item " + std::to_string(IdOf(window));
}

int ClampToRange(const FakeControl& control, int position) {
  if (position < control.rangeMin) return control.rangeMin;
  if (position > control.rangeMax) return control.rangeMax;
  return position;
}

std::string MessageName(UINT message) {
  switch (message) {
    case TBM_GETPOS:
      return "TBM_GETPOS";
    case TBM_SETPOS:
      return "TBM_SETPOS";
    case TBM_SETRANGE:
      return "TBM_SETRANGE";
    case CB_INSERTSTRING:
      return "CB_INSERTSTRING";
    case CB_SETCURSEL:
      return "CB_SETCURSEL";
    case CB_GETCURSEL:
      return "CB_GETCURSEL";
    case CB_GETCOUNT:
      return "CB_GETCOUNT";
    default:
      return FakeHex(message);
  }
}

std::string LParamText(UINT message, LPARAM lParam, bool wide) {
  if (message == TBM_SETRANGE)
    return "MAKELPARAM(" + std::to_string(LOWORD(lParam)) + "," +
           std::to_string(static_cast<short>(HIWORD(lParam))) + ")";
  if (message == CB_INSERTSTRING)
    return wide ? FakeWideText(reinterpret_cast<const wchar_t*>(lParam))
                : FakeText(reinterpret_cast<const char*>(lParam));
  return std::to_string(lParam);
}

// What the control itself does with a message, as Windows would.
LRESULT Deliver(FakeControl& control, UINT message, WPARAM wParam, LPARAM lParam, bool wide) {
  switch (message) {
    case TBM_GETPOS:
      return control.position;
    case TBM_SETPOS:
      control.position = ClampToRange(control, static_cast<int>(lParam));
      return 0;
    case TBM_SETRANGE:
      control.rangeMin = static_cast<short>(LOWORD(lParam));
      control.rangeMax = static_cast<short>(HIWORD(lParam));
      control.position = ClampToRange(control, control.position);
      return 0;
    case CB_INSERTSTRING: {
      const std::string text = LParamText(message, lParam, wide);
      const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (index < 0 || index >= static_cast<int>(control.entries.size())) {
        control.entries.push_back(text);
        return static_cast<LRESULT>(control.entries.size() - 1);
      }
      control.entries.insert(control.entries.begin() + index, text);
      return index;
    }
    case CB_SETCURSEL: {
      const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
      const bool valid = index >= 0 && index < static_cast<int>(control.entries.size());
      control.selection = valid ? index : CB_ERR;
      return valid ? index : CB_ERR;
    }
    case CB_GETCURSEL:
      return control.selection;
    case CB_GETCOUNT:
      return static_cast<LRESULT>(control.entries.size());
    default:
      return 0;
  }
}

LRESULT SendMessageTo(const char* name, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                      bool wide) {
  RecordCall(name, {ControlText(window), MessageName(message), std::to_string(wParam),
                    LParamText(message, lParam, wide)});
  std::int64_t scripted = 0;
  LRESULT result = Deliver(Controls()[IdOf(window)], message, wParam, lParam, wide);
  if (TakeScriptedResult(name, &scripted)) result = static_cast<LRESULT>(scripted);
  return result;
}

}  // namespace

HWND FakeDialogItem(int id) {
  return reinterpret_cast<HWND>(kControlBase + static_cast<std::uint16_t>(id));
}

const FakeControl& FakeControlState(int id) {
  return Controls()[id];
}

void FakeMoveTrackbar(int id, int position) {
  FakeControl& control = Controls()[id];
  control.position = ClampToRange(control, position);
}

void FakeSelectEntry(int id, int index) {
  Controls()[id].selection = index;
}

void FakeSetCheck(int id, UINT check) {
  Controls()[id].check = check;
}

bool FakeDialogEnded(INT_PTR* result) {
  if (ended && result) *result = endResult;
  return ended;
}

std::string FakeWideText(const wchar_t* text) {
  if (!text) return "null";
  std::string utf8;
  for (; *text; ++text) {
    auto c = static_cast<std::uint32_t>(*text);
    if (c >= 0xD800 && c <= 0xDBFF && text[1]) {  // a UTF-16 pair, where wchar_t is 16 bits
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint32_t>(*++text) - 0xDC00);
    }
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (c >> 18));
      utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

HWND GetDlgItem(HWND dialog, int id) {
  RecordCall("GetDlgItem", {FakeHex(dialog), std::to_string(id)});
  return FakeDialogItem(id);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageTo("SendMessageA", window, message, wParam, lParam, false);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageTo("SendMessageW", window, message, wParam, lParam, true);
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  RecordCall("CheckRadioButton", {FakeHex(dialog), std::to_string(firstId), std::to_string(lastId),
                                  std::to_string(checkId)});
  for (int id = firstId; id <= lastId; ++id)
    Controls()[id].check = id == checkId ? BST_CHECKED : BST_UNCHECKED;
  return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  RecordCall("CheckDlgButton", {FakeHex(dialog), std::to_string(id), std::to_string(check)});
  Controls()[id].check = check;
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  RecordCall("IsDlgButtonChecked", {FakeHex(dialog), std::to_string(id)});
  std::int64_t scripted = 0;
  if (TakeScriptedResult("IsDlgButtonChecked", &scripted)) return static_cast<UINT>(scripted);
  return Controls()[id].check;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  RecordCall("EndDialog", {FakeHex(dialog), std::to_string(result)});
  ended = true;
  endResult = result;
  return TRUE;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  RecordCall("MessageBoxW",
             {FakeHex(owner), FakeWideText(text), FakeWideText(caption), FakeHex(type)});
  std::int64_t scripted = 0;
  return TakeScriptedResult("MessageBoxW", &scripted) ? static_cast<int>(scripted) : IDOK;
}

// Succeeds (a result above 32) unless a result is scripted.
HINSTANCE ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, INT showCommand) {
  RecordCall("ShellExecuteA",
             {FakeHex(window), FakeText(operation), FakeText(file), FakeText(parameters),
              FakeText(directory), std::to_string(showCommand)});
  std::int64_t result = 42;
  TakeScriptedResult("ShellExecuteA", &result);
  return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(result));
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
  RecordCall("InitCommonControlsEx", {std::to_string(controls->dwSize), FakeHex(controls->dwICC)});
  return TRUE;
}
