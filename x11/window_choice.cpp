// The window-choice rules of the X11 saver.
#include "x11/window_choice.h"

#include <cerrno>
#include <cstdlib>

bool ParseWindowId(const std::string& text, std::uint32_t& id) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) return false;
  errno = 0;
  const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno == ERANGE || value == 0 || value > 0xFFFFFFFFull) return false;
  id = static_cast<std::uint32_t>(value);
  return true;
}

bool ChooseTargetWindow(const std::string& windowIdOption, bool root, const char* environmentWindow,
                        TargetChoice& choice, std::string& error) {
  if (!windowIdOption.empty()) {
    if (!ParseWindowId(windowIdOption, choice.windowId)) {
      error = "--window-id takes a window id (0x... or decimal), not '" + windowIdOption + "'";
      return false;
    }
    choice.kind = TargetKind::GivenWindow;
    return true;
  }
  if (!root) {
    choice.kind = TargetKind::OwnWindow;
    return true;
  }
  // XScreenSaver names its window in the variable; an empty value counts as unset.
  if (environmentWindow != nullptr && environmentWindow[0] != '\0') {
    if (!ParseWindowId(environmentWindow, choice.windowId)) {
      error = std::string("XSCREENSAVER_WINDOW is not a window id: '") + environmentWindow + "'";
      return false;
    }
    choice.kind = TargetKind::GivenWindow;
    return true;
  }
  choice.kind = TargetKind::RootWindow;
  return true;
}
