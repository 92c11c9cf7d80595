// The savers' program tests' shared helpers.
#include <gtest/gtest.h>

#include "display_test_support.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "process_folder.h"

std::string TempPath(const std::string& name) {
  return ProcessFolder() + "/" + name;
}

void Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

long Milliseconds(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

pid_t Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& stderrPath) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (const std::string& assignment : environment) putenv(strdup(assignment.c_str()));
    const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) dup2(err, 2);
    const int out = open("/dev/null", O_WRONLY);
    if (out >= 0) dup2(out, 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(strdup(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

bool WaitFor(pid_t pid, int milliseconds, int& status) {
  // Looked at once at least, so that 0 asks whether it has ended by now.
  for (const auto start = Clock::now();; Sleep(10)) {
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    if (Milliseconds(start) >= milliseconds) return false;
  }
}

void Stop(pid_t pid) {
  int status;
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<Rgb> RenderedFrames(const std::string& ini, int count) {
  const std::string gifPath = TempPath("reference.gif");
  const std::string command = std::string("'") + GLIMRA_RENDER + "' --ini '" + ini + "' --frames " +
                              std::to_string(count) + " --gif '" + gifPath + "' 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::vector<Rgb> frames;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(gifPath.c_str(), &error);
  if (gif == nullptr || DGifSlurp(gif) != GIF_OK) return frames;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    Rgb rgb(640 * 480 * 3);
    for (int p = 0; p < 640 * 480; ++p) {
      const GifColorType& colour = image.ImageDesc.ColorMap->Colors[image.RasterBits[p]];
      rgb[p * 3] = colour.Red;
      rgb[p * 3 + 1] = colour.Green;
      rgb[p * 3 + 2] = colour.Blue;
    }
    frames.push_back(rgb);
  }
  DGifCloseFile(gif, &error);
  return frames;
}

bool ShowsFrame(const Rgb& shot, int shotWidth, const Area& area, const Rgb& frame, bool stretch) {
  const int width = area.width, height = area.height;
  int pictureWidth = width, pictureHeight = height;
  if (!stretch && width * 3 <= height * 4) pictureHeight = (width * 3 + 2) / 4;
  if (!stretch && width * 3 > height * 4) pictureWidth = (height * 4 + 1) / 3;
  const int left = (width - pictureWidth) / 2, top = (height - pictureHeight) / 2;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int px = x - left, py = y - top;
      const bool inside = px >= 0 && px < pictureWidth && py >= 0 && py < pictureHeight;
      static const std::uint8_t black[3] = {0, 0, 0};
      const std::uint8_t* want =
          inside ? &frame[((py * 480 / pictureHeight) * 640 + px * 640 / pictureWidth) * 3] : black;
      const std::uint8_t* got =
          &shot[(static_cast<std::size_t>(area.y + y) * shotWidth + area.x + x) * 3];
      if (want[0] != got[0] || want[1] != got[1] || want[2] != got[2]) return false;
    }
  return true;
}
