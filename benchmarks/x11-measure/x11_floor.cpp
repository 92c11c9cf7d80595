// The floor of what showing a frame costs the X11 saver: the same options, window, image, events
// and pace as glimra, but one unchanging picture pushed every time, nothing composed, looked up or
// scaled. benchmarks/x11-cpu-compare.sh measures glimra against it; SIGTERM ends it.
#include <X11/Xlib.h>
#include <signal.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/pixel_lookup.h"
#include "settings/saver_options.h"
#include "x11/frame_pace.h"
#include "x11/monitor_layout.h"
#include "x11/window_choice.h"
#include "x11/x11_image.h"
#include "x11/x11_window.h"

namespace {

const volatile sig_atomic_t neverStopped = 0;

// Grey stripes, written once per image: the server copies them like any other picture. The window
// is one area, as glimra's windows are on one monitor.
bool MakeConstantPicture(Display* display, const TargetWindow& target, bool stretch,
                         PictureLayout& layout, FrameImage& image) {
  layout = LayOutPictures(target.width, target.height, {}, stretch);
  const PictureGroup& picture = layout.groups.at(0);
  if (!CreateFrameImage(display, target.visual, target.depth, picture.width, picture.height, true,
                        image))
    return false;
  for (int y = 0; y < picture.height; ++y)
    std::memset(image.image->data + y * image.image->bytes_per_line, (y / 8) % 2 ? 0x60 : 0x30,
                image.image->bytes_per_line);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  SaverOptions options;
  std::string error;
  TargetChoice choice;
  if (!ParseSaverOptions(SaverProgram::X11, argc, argv, options, error) ||
      !ChooseTargetWindow(options.windowId, options.root, std::getenv("XSCREENSAVER_WINDOW"),
                          choice, error)) {
    std::fprintf(stderr, "x11-floor: %s\n", error.c_str());
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  TargetWindow target;
  if (display == nullptr || !OpenTargetWindow(display, choice, target, error)) {
    std::fprintf(stderr, "x11-floor: cannot open the display or the window %s\n", error.c_str());
    return 1;
  }
  PictureLayout layout;
  FrameImage image;
  if (!MakeConstantPicture(display, target, options.stretch, layout, image)) return 1;
  GC gc = XCreateGC(display, target.window, 0, nullptr);
  timespec deadline;
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  for (bool cleared = false;;) {
    WaitForFrameImage(display, image);
    const WindowEvent event = HandleWindowEvents(display, target);
    if (event == WindowEvent::Close) break;
    if (event == WindowEvent::Resized) {
      ReleaseFrameImage(display, image);
      if (!MakeConstantPicture(display, target, options.stretch, layout, image)) return 1;
    }
    if (!cleared || event != WindowEvent::Nothing) {
      BlackenAreas(display, target.window, gc, layout.bands);
      cleared = true;
    }
    const FramePlace& place = layout.groups[0].places[0];
    PutFrameImage(display, target.window, gc, image, place.x, place.y);
    XFlush(display);
    WaitForNextFrame(deadline, options.delayMicroseconds, neverStopped);
  }
  ReleaseFrameImage(display, image);
  CloseTargetWindow(display, target);
  XCloseDisplay(display);
  return 0;
}
