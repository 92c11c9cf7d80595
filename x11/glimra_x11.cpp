// glimra for X11: the saver's frames (palette step when `pal` is non-zero, then the composition, as
// the Windows saver's timer makes them) shown in a window at a steady pace. The 640 x 480 frame
// itself is never made: the window's pixels come straight from the tile it would be spread from.
// Runs stand-alone, in a given window, in the root window (a picture on each monitor), or as an
// XScreenSaver program. Exit: 0 when its own window is closed, 1 on a bad option or a lost window,
// and by the signal itself on SIGTERM, SIGINT or SIGHUP.
#include <X11/Xlib.h>
#include <signal.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/compose.h"
#include "engine/palette.h"
#include "engine/engine.h"
#include "engine/frame_rate.h"
#include "engine/pixel_lookup.h"
#include "settings/saver_options.h"
#include "settings/saver_settings.h"
#include "x11/frame_pace.h"
#include "x11/monitor_layout.h"
#include "x11/monitors.h"
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

// One picture size of the window's layout: its image (the whole picture, or only the tile where
// the server scales it) and every place it goes (one per monitor of that size).
struct Picture {
  std::vector<FramePlace> places;
  ServerScaler scaler;
  FrameImage image;
  TileSampling sampling;
};

// Everything that belongs to the window's current size and monitors.
struct Pictures {
  std::vector<Picture> sizes;
  std::vector<WindowArea> bands;  // black around the pictures
  ChannelMasks masks{};
};

bool MakePicture(Display* display, const TargetWindow& target, const PictureGroup& group,
                 Picture& picture) {
  picture.places = group.places;
  const bool enlarged = saverSettings.one != 0;
  const bool onServer = CreateServerScaler(display, target.window, target.visual, target.depth,
                                           ExactServerScale(group.width, group.height, enlarged),
                                           enlarged, picture.scaler);
  // The tile's own image is sampled one to one, as an enlarged 160 x 120 picture is.
  const int width = onServer ? kTileWidth : group.width;
  const int height = onServer ? kTileHeight : group.height;
  if (!CreateFrameImage(display, target.visual, target.depth, width, height, true, picture.image)) {
    ReleaseServerScaler(display, picture.scaler);
    return false;
  }
  picture.sampling = MakeTileSampling(width, height, onServer || enlarged);
  return true;
}

void ReleasePictures(Display* display, Pictures& pictures) {
  for (Picture& picture : pictures.sizes) {
    ReleaseFrameImage(display, picture.image);
    ReleaseServerScaler(display, picture.scaler);
  }
  pictures = Pictures{};
}

// The root window gets a picture on each monitor; any other window is one area. False (with what
// was made released) when an image cannot be made.
bool MakePictures(Display* display, const TargetWindow& target, bool stretch, Pictures& pictures) {
  const std::vector<WindowArea> monitors =
      target.spansMonitors ? QueryMonitors(display, target.window) : std::vector<WindowArea>{};
  const PictureLayout layout = LayOutPictures(target.width, target.height, monitors, stretch);
  pictures.bands = layout.bands;
  pictures.masks = {target.visual->red_mask, target.visual->green_mask, target.visual->blue_mask};
  pictures.sizes.resize(layout.groups.size());
  for (std::size_t i = 0; i < layout.groups.size(); ++i)
    if (!MakePicture(display, target, layout.groups[i], pictures.sizes[i])) {
      ReleasePictures(display, pictures);
      return false;
    }
  return !pictures.sizes.empty();
}

// Each image to its places: straight there, or once into the tile's pixmap and scaled from there
// onto each place.
void ShowPictures(Display* display, Window window, GC gc, Pictures& pictures) {
  for (Picture& picture : pictures.sizes) {
    if (picture.scaler.tile == 0) {
      for (const FramePlace& place : picture.places)
        PutFrameImage(display, window, gc, picture.image, place.x, place.y);
    } else {
      PutFrameImage(display, picture.scaler.tile, gc, picture.image, 0, 0);
      for (const FramePlace& place : picture.places) ScaleOnServer(display, picture.scaler, place);
    }
  }
  XFlush(display);  // all requests in one write, which wakes the server once
}

// The tile looked up and spread over the image: 16- and 32-bit pixels directly, any other
// format (rare 24-bit packed servers) through Xlib one pixel at a time.
void DrawPicture(Picture& picture, const std::uint32_t pixels[kPaletteSize]) {
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

// The same frame in every picture.
void DrawPictures(Pictures& pictures, const PaletteEntries entries) {
  std::uint32_t pixels[kPaletteSize];
  BuildPixelTable(pictures.masks, entries, pixels);
  for (Picture& picture : pictures.sizes) DrawPicture(picture, pixels);
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
                       PaletteEntries entries, Pictures& pictures) {
  GC gc = XCreateGC(display, target.window, 0, nullptr);
  timespec deadline;
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  RunEnd end = RunEnd::Stopped;
  bool cleared = false;  // the window around the pictures is black
  while (!stopSignal) {
    // Before the events, which would drop the images' completion events.
    for (Picture& picture : pictures.sizes) WaitForFrameImage(display, picture.image);
    const WindowEvent event = HandleWindowEvents(display, target);
    if (event == WindowEvent::Close) {
      end = RunEnd::Closed;
      break;
    }
    if (event == WindowEvent::Resized) {
      ReleasePictures(display, pictures);
      if (!MakePictures(display, target, options.stretch, pictures)) {
        end = RunEnd::NoImage;
        break;
      }
    }
    if (!cleared || event != WindowEvent::Nothing) {
      BlackenAreas(display, target.window, gc, pictures.bands);
      cleared = true;
    }
    if (xErrorCode != 0) {  // the window is gone (BadDrawable, BadWindow) or unusable
      end = RunEnd::WindowLost;
      break;
    }
    StepFrame(entries, EntryLayoutRgbQuad, FrameOutputTile);
    DrawPictures(pictures, entries);
    ShowPictures(display, target.window, gc, pictures);
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

  Pictures pictures;
  RunEnd end = RunEnd::NoImage;
  if (MakePictures(display, target, options.stretch, pictures))
    end = DrawUntilTheEnd(display, target, options, entries, pictures);

  char errorName[80] = "";
  if (xErrorCode != 0) XGetErrorText(display, xErrorCode, errorName, sizeof errorName);
  // Release in the reverse order of creation: images (and their shared segments), the server's
  // scalers, window, display.
  ReleasePictures(display, pictures);
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
