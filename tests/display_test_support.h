// What the savers' program tests share (X11 and Wayland): starting and stopping programs,
// glimra-render's frames as RGB pictures, and the check that an area of a screenshot shows a frame
// as the savers place it.
#pragma once

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

// Starts a program (looked up in PATH unless a path is given) with changes to the environment:
// "NAME=VALUE" sets a variable, "NAME" alone removes it. Its stderr goes to `stderrPath`, its
// stdout nowhere.
pid_t Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& stderrPath);
// Waits up to `milliseconds` for the process (0: looks once); false if it is still running.
bool WaitFor(pid_t pid, int milliseconds, int& status);
// Kills the process and waits for it.
void Stop(pid_t pid);

using Rgb = std::vector<std::uint8_t>;  // width * height * (red, green, blue)

// glimra-render's (GLIMRA_RENDER's) frames 1..count for a settings file, as 640 x 480 RGB
// pictures.
std::vector<Rgb> RenderedFrames(const std::string& ini, int count);

// A window's or a monitor's rectangle in a screenshot.
struct Area {
  int x, y, width, height;
};

// Whether the screenshot (`shotWidth` pixels wide) shows in `area` the frame as the saver places
// and scales it: the largest 4:3 rectangle that fits (rounded to the nearest pixel), centred,
// black around it, or with `stretch` the whole area; nearest neighbour, picture pixel (x, y) from
// frame pixel (x * 640 / width, y * 480 / height).
bool ShowsFrame(const Rgb& shot, int shotWidth, const Area& area, const Rgb& frame, bool stretch);
