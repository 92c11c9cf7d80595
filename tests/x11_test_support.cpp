// The X11 saver's program tests' servers and screenshots.
#include "x11_test_support.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

bool StartServerShell(const std::string& library, const std::string& start, const std::string& stop,
                      ServerShell& server, std::string& error) {
  server = ServerShell{};
  int input[2], output[2];
  if (pipe(input) != 0 || pipe(output) != 0) {
    error = "no pipe";
    return false;
  }
  const std::string errPath = TempPath("server-stderr.txt");
  server.shell = fork();
  if (server.shell == 0) {
    dup2(input[0], 0);
    dup2(output[1], 1);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) dup2(err, 2);
    close(input[1]);
    close(output[0]);
    // The start and stop commands are split into words by the shell, as typed.
    execl("/bin/bash", "bash", "-c",
          "source \"$1\" && $2 || exit 1; echo \"$DISPLAY\"; read -r _; $3", "bash",
          library.c_str(), start.c_str(), stop.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  server.input = input[1];
  // The display's name ends with a newline; nothing comes when the server did not start.
  char c;
  while (read(output[0], &c, 1) == 1 && c != '\n') server.displayName += c;
  close(output[0]);
  if (!server.displayName.empty()) return true;
  error = ReadText(errPath);
  StopServerShell(server);
  return false;
}

void StopServerShell(ServerShell& server) {
  if (server.shell > 0) {
    close(server.input);
    waitpid(server.shell, nullptr, 0);
  }
  server = ServerShell{};
}

Rgb Screenshot(Display* display, Drawable drawable, int width, int height) {
  XImage* image = XGetImage(display, drawable, 0, 0, width, height, AllPlanes, ZPixmap);
  Rgb rgb(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      rgb[(y * width + x) * 3] = (pixel >> 16) & 0xFF;
      rgb[(y * width + x) * 3 + 1] = (pixel >> 8) & 0xFF;
      rgb[(y * width + x) * 3 + 2] = pixel & 0xFF;
    }
  XDestroyImage(image);
  return rgb;
}
