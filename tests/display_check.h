// What the display tests of the savers share: starting a program and waiting for it, and checking
// a screenshot against glimra-render's frames for the same settings.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

void Sleep(int milliseconds);
long Milliseconds(Clock::time_point since);

// Starts a program (looked up in PATH unless a path is given) with changes to the environment:
// "NAME=VALUE" sets a variable, "NAME" alone removes it. Its stderr goes to `stderrPath`, its
// stdout nowhere.
pid_t Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& stderrPath);
// Waits up to `milliseconds` for the process (0: looks once); false if it is still running.
bool WaitFor(pid_t pid, int milliseconds, int& status);
// Kills the process and waits for it.
void Stop(pid_t pid);
std::string ReadText(const std::string& path);

using Rgb = std::vector<std::uint8_t>;  // width * height * (red, green, blue)

// glimra-render's frames 1..count for a settings file, as 640 x 480 RGB pictures.
std::vector<Rgb> RenderedFrames(const std::string& renderer, const std::string& ini, int count);

// An area of a screenshot `stride` pixels wide, at (left, top).
struct ShotArea {
  const Rgb& shot;
  int stride;
  int left, top, width, height;
};

// Whether the area is the frame as the savers place and scale it: the largest 4:3 rectangle that
// fits (rounded to the nearest pixel), centred, black around it, or with `stretch` the whole area;
// nearest neighbour, picture pixel (x, y) from frame pixel (x * 640 / width, y * 480 / height).
bool ShowsFrame(const ShotArea& area, const Rgb& frame, bool stretch);
// The number (from 1) of the first of `frames` that the area shows, or 0.
int FrameShown(const ShotArea& area, const std::vector<Rgb>& frames, bool stretch);
