// A run of the Wayland saver: it connects, covers every output with a fullscreen surface (or a
// wallpaper layer under the windows, or opens one ordinary window), paces the frames by a timer
// and the compositor's frame callbacks, and ends on input, a signal or a lost connection. What is
// drawn is the front-end's own, so that the measuring floor program goes through exactly the same
// protocol path.
#pragma once

#include <cstdint>
#include <string>

#include "engine/frame_place.h"
#include "engine/pixel_lookup.h"

struct SessionOptions {
  bool window = false;  // one resizable window "Glimra" instead of every output
  // A layer-shell surface on every output's bottom layer (above the desktop's own wallpaper, below
  // the windows), which input does not end; the compositor need offer no xdg-shell.
  bool background = false;
  bool stretch = false;            // the picture fills the surface instead of keeping its shape
  bool enlarged = true;            // the tile is enlarged (else repeated) into the frame
  long delayMicroseconds = 50000;  // 0: a frame whenever the compositor shows one
};

// One buffer to paint: XRGB8888 pixels, black outside the picture's place.
struct PaintTarget {
  std::uint8_t* pixels;
  int stride;
  FramePlace place;
  const TileSampling& sampling;  // the picture's pixels from the tile
  bool firstPaint;               // the buffer is new (its picture area is still black)
};

class Painter {
 public:
  virtual ~Painter() = default;
  // A new frame is due and some output can show it: made once for all of them.
  virtual void MakeFrame() = 0;
  // The frame into one cover's buffer.
  virtual void Paint(const PaintTarget& target) = 0;
};

struct SessionOutcome {
  int exitCode = 0;   // 0: ended by input or closed; 1: `error` says why
  int signal = 0;     // the stop signal that ended the run (SIGTERM, SIGINT, SIGHUP), or 0
  std::string error;  // one line
};

// Runs until the end; everything made for the run is released before it returns.
SessionOutcome RunWaylandSession(const SessionOptions& options, Painter& painter);

// How a cover's buffers map onto its surface: their size in pixels, the buffer scale, and the
// destination of a viewport (0 x 0: none).
struct CoverPixels {
  int width, height;
  int bufferScale;
  int viewportWidth, viewportHeight;
};

// The buffers for a surface of `logical` size in surface coordinates on an output whose current
// mode is `mode` pixels (0 x 0: unknown, or no output of its own), turned by `transform`, with
// integer scale `scale`, and the compositor's preferred scale for the surface in 120ths
// (`preferredScale`, 0 where it tells none). A preferred fractional scale gives buffers of the
// logical size times that scale (rounded half away from zero), mapped by the viewport; a whole
// one, buffers of the logical size times it. Without a preferred scale, a whole `scale` gives
// buffers of the logical size times the scale; a fractional one (the mode is not the logical size
// times a whole number) gives buffers of the mode's own size, mapped by a viewport, so that each
// buffer pixel is one pixel of the output where the compositor rounds as we do. No viewporter:
// always the whole scale's.
CoverPixels ChooseCoverPixels(int logicalWidth, int logicalHeight, int modeWidth, int modeHeight,
                              int transform, int scale, bool viewporter, int preferredScale = 0);
