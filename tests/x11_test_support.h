// What the X11 saver's program tests share beyond display_test_support.h: their X servers and
// screenshots.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "display_test_support.h"

// A private X server started by one of tools/lib's helpers (xvfb.sh, xorg.sh) in a shell that
// keeps it until the shell's input closes.
struct ServerShell {
  pid_t shell = 0;
  int input = -1;
  std::string displayName;  // ":N"
};
// Sources `library`, runs `start` (say "xvfb_start 640x480x24 -extension RENDER") and, once the
// input closes, `stop`. False when the server did not start, with the helper's message in `error`.
bool StartServerShell(const std::string& library, const std::string& start, const std::string& stop,
                      ServerShell& server, std::string& error);
// Stops the server and waits for the shell.
void StopServerShell(ServerShell& server);

// The drawable's pixels (a 24-bit TrueColor one).
Rgb Screenshot(Display* display, Drawable drawable, int width, int height);
