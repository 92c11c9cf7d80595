// Which window the X11 saver draws in: the rules for --window-id, --root with the
// XSCREENSAVER_WINDOW variable, and the saver's own window, without any X call.
#pragma once

#include <cstdint>
#include <string>

enum class TargetKind {
  GivenWindow,  // an existing window: --window-id, or --root with XSCREENSAVER_WINDOW
  RootWindow,   // --root without the variable
  OwnWindow,    // no option: a 640 x 480 window of our own
};

struct TargetChoice {
  TargetKind kind = TargetKind::OwnWindow;
  std::uint32_t windowId = 0;  // for GivenWindow
};

// A window id as hacks receive them: "0x..." hexadecimal or plain decimal, non-zero, 32 bits.
bool ParseWindowId(const std::string& text, std::uint32_t& id);

// --window-id wins over --root; --root takes `environmentWindow` (the variable's value, or
// nullptr when unset) before the root window. A malformed id is an error, with a reason.
bool ChooseTargetWindow(const std::string& windowIdOption, bool root, const char* environmentWindow,
                        TargetChoice& choice, std::string& error);
