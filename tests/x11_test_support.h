// What the X11 saver's program tests share: their X servers, starting and stopping programs,
// glimra-render's frames as RGB pictures, screenshots, and the check that an area shows a frame as
// the saver places it.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

// A file of the test process's own folder.
std::string TempPath(const std::string& name);
void Sleep(int milliseconds);
long Milliseconds(Clock::time_point since);
std::string ReadText(const std::string& path);

// Starts a program with extra environment variables; its stderr goes to `stderrPath`.
pid_t Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& stderrPath);
// Waits up to `milliseconds` for the process; false if it is still running.
bool WaitFor(pid_t pid, int milliseconds, int& status);
// Kills the process and waits for it.
void Stop(pid_t pid);

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

using Rgb = std::vector<std::uint8_t>;  // width * height * (red, green, blue)

// glimra-render's frames 1..count for a settings file, as 640 x 480 RGB pictures.
std::vector<Rgb> RenderedFrames(const std::string& ini, int count);

// The drawable's pixels (a 24-bit TrueColor one).
Rgb Screenshot(Display* display, Drawable drawable, int width, int height);

// A window's or a monitor's rectangle in a screenshot.
struct Area {
  int x, y, width, height;
};

// Whether the screenshot (`shotWidth` pixels wide) shows in `area` the frame as the saver places
// and scales it: the largest 4:3 rectangle that fits (rounded to the nearest pixel), centred,
// black around it, or with `stretch` the whole area; nearest neighbour, picture pixel (x, y) from
// frame pixel (x * 640 / width, y * 480 / height).
bool ShowsFrame(const Rgb& shot, int shotWidth, const Area& area, const Rgb& frame, bool stretch);
