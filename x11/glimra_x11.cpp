// glimra for X11: the saver's frames (palette step when `pal` is non-zero, then the composition, as
// the Windows saver's timer makes them) shown in a window at a steady pace. The 640 x 480 frame
// itself is never made: the window's pixels come straight from the tile it would be spread from.
// Runs stand-alone, in a given window, or as an XScreenSaver program. Exit: 0 when its own window
// is closed, 1 on a bad option or a lost window, and by the signal itself on SIGTERM, SIGINT or
// SIGHUP.
#include <X11/Xlib.h>
#include <signal.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/engine.h"
#include "engine/frame_rate.h"
#include "engine/pixel_lookup.h"
#include "settings/saver_options.h"
#include "settings/saver_settings.h"
#include "x11/frame_pace.h"
#include "x11/server_scale.h"
#include "x11/window_choice.h"
#include "x11/x11_image.h"
#include "x11/x11_window.h"

namespace {

volatile sig_atomic_t stopSignal = 0;
void RecordStopSignal(int signal) {
  stopSignal = signal;
}

// The first X error ends the run; the drawing loop looks at it after each synchronised frame.
int xErrorCode = 0;
int RecordXError(Display*, XErrorEvent* event) {
  if (xErrorCode == 0) xErrorCode = event->error_code;
  return 0;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "glimra: %s\n", message.c_str());
  return 1;
}

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = RecordStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a signal cuts the pause between frames short
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

// The saver's set-up: settings, then the engine's start.
void SetUpEngine(const SaverOptions& options, PaletteEntries entries) {
  saverSettings = SettingsFromOptions(options);
  StartEngine(entries);
}

// Everything that belongs to the window's current size. The image is the whole picture, or only
// the tile where the server scales it.
struct Picture {
  PicturePlace place{};
  ServerScaler scaler;
  FrameImage image;
  TileSampling sampling;
  ChannelMasks masks{};
};

bool MakePicture(Display* display, const TargetWindow& target, bool stretch, Picture& picture) {
  picture.place = PlacePicture(target.width, target.height, stretch);
  const PicturePlace& place = picture.place;
  const bool enlarged = saverSettings.one != 0;
  const bool onServer = CreateServerScaler(display, target.window, target.visual, target.depth,
                                           ExactServerScale(place.width, place.height, enlarged),
                                           enlarged, picture.scaler);
  // The tile's own image is sampled one to one, as an enlarged 160 x 120 picture is.
  const int width = onServer ? kTileWidth : place.width;
  const int height = onServer ? kTileHeight : place.height;
  if (!CreateFrameImage(display, target.visual, target.depth, width, height, true, picture.image)) {
    ReleaseServerScaler(display, picture.scaler);
    return false;
  }
  picture.image.x = onServer ? 0 : place.x;
  picture.image.y = onServer ? 0 : place.y;
  picture.sampling = MakeTileSampling(width, height, onServer || enlarged);
  picture.masks = {target.visual->red_mask, target.visual->green_mask, target.visual->blue_mask};
  return true;
}

void ReleasePicture(Display* display, Picture& picture) {
  ReleaseFrameImage(display, picture.image);
  ReleaseServerScaler(display, picture.scaler);
}

// The image to the window: straight to its place, or into the tile's pixmap and scaled from there.
void ShowPicture(Display* display, Window window, GC gc, Picture& picture) {
  if (picture.scaler.tile == 0) {
    PutFrameImage(display, window, gc, picture.image);
  } else {
    PutFrameImage(display, picture.scaler.tile, gc, picture.image);
    ScaleOnServer(display, picture.scaler, picture.place);
  }
  XFlush(display);  // both requests in one write, which wakes the server once
}

// The tile looked up and spread over the image: 16- and 32-bit pixels directly, any other
// format (rare 24-bit packed servers) through Xlib one pixel at a time.
void DrawPicture(Picture& picture, const PaletteEntries entries) {
  std::uint32_t pixels[kPaletteSize];
  BuildPixelTable(picture.masks, entries, pixels);
  XImage* image = picture.image.image;
  if (image->bits_per_pixel == 32 || image->bits_per_pixel == 16) {
    FillScaledImage(ringTile, pixels, picture.sampling, image->bits_per_pixel / 8,
                    reinterpret_cast<std::uint8_t*>(image->data), image->bytes_per_line);
    return;
  }
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      XPutPixel(image, x, y,
                pixels[ringTile[picture.sampling.tileRow[y] * kTileWidth +
                                picture.sampling.tileColumn[x]]]);
}

// --fps: the rate achieved over the last second or so.
void CountFrame(bool show) {
  static FrameRateCount count;
  double perSecond = 0;
  if (show && CountShownFrame(count, perSecond))
    std::fprintf(stderr, "glimra: %.1f frames/s\n", perSecond);
}

enum class RunEnd { Closed, Stopped, WindowLost, NoImage };

RunEnd DrawUntilTheEnd(Display* display, TargetWindow& target, const SaverOptions& options,
                       PaletteEntries entries, Picture& picture) {
  GC gc = XCreateGC(display, target.window, 0, nullptr);
  timespec deadline;
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  RunEnd end = RunEnd::Stopped;
  bool cleared = false;  // the window around the picture is black
  while (!stopSignal) {
    WaitForFrameImage(display, picture.image);  // before the events, which would drop its event
    const WindowEvent event = HandleWindowEvents(display, target);
    if (event == WindowEvent::Close) {
      end = RunEnd::Closed;
      break;
    }
    if (event == WindowEvent::Resized) {
      ReleasePicture(display, picture);
      if (!MakePicture(display, target, options.stretch, picture)) {
        end = RunEnd::NoImage;
        break;
      }
    }
    if (!cleared || event != WindowEvent::Nothing) {
      ClearAroundPicture(display, target, gc, picture.place);
      cleared = true;
    }
    if (xErrorCode != 0) {  // the window is gone (BadDrawable, BadWindow) or unusable
      end = RunEnd::WindowLost;
      break;
    }
    StepFrame(entries, EntryLayoutRgbQuad, FrameOutputTile);
    DrawPicture(picture, entries);
    ShowPicture(display, target.window, gc, picture);
    CountFrame(options.showFps);
    WaitForNextFrame(deadline, options.delayMicroseconds, stopSignal);
  }
  XFreeGC(display, gc);
  return end;
}

}  // namespace

int main(int argc, char** argv) {
  SaverOptions options;
  std::string error;
  if (!ParseSaverOptions(SaverProgram::X11, argc, argv, options, error)) return Fail(error);
  if (options.help) {
    std::fputs(SaverUsage(SaverProgram::X11).c_str(), stdout);
    return 0;
  }
  TargetChoice choice;
  if (!ChooseTargetWindow(options.windowId, options.root, std::getenv("XSCREENSAVER_WINDOW"),
                          choice, error))
    return Fail(error);
  InstallStopHandlers();

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return Fail("cannot open the display");
  XSetErrorHandler(RecordXError);
  TargetWindow target;
  if (!OpenTargetWindow(display, choice, target, error)) {
    XCloseDisplay(display);
    return Fail(error);
  }
  static PaletteEntries entries = {};
  SetUpEngine(options, entries);

  Picture picture;
  RunEnd end = RunEnd::NoImage;
  if (MakePicture(display, target, options.stretch, picture))
    end = DrawUntilTheEnd(display, target, options, entries, picture);

  char errorName[80] = "";
  if (xErrorCode != 0) XGetErrorText(display, xErrorCode, errorName, sizeof errorName);
  // Release in the reverse order of creation: image (and its shared segment), the server's
  // scaler, window, display.
  ReleasePicture(display, picture);
  const unsigned long window = target.window;
  CloseTargetWindow(display, target);
  XCloseDisplay(display);

  if (stopSignal) {
    // Ended by the signal itself, as the one who sent it expects.
    signal(stopSignal, SIG_DFL);
    raise(stopSignal);
  }
  if (end == RunEnd::WindowLost) {
    char text[200];
    std::snprintf(text, sizeof text, "window 0x%lx is gone (%s)", window, errorName);
    return Fail(text);
  }
  if (end == RunEnd::NoImage) return Fail("cannot make an image of the window's size");
  return 0;
}
