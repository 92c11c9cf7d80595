// Scaling on the X server with the Render extension: only the 160 x 120 tile is sent (77 kB a
// frame instead of the whole picture, which the saver would otherwise write into memory that has
// gone cold during the pause between frames), and the server spreads it over the picture by
// nearest-neighbour sampling. Used only where the server's sampling is exactly the saver's own:
// whole enlargements (ExactServerScale); any other size is drawn by the saver itself.
#pragma once

#include <X11/Xlib.h>

#include "engine/frame_place.h"
#include "x11/exact_scale.h"

// The tile's pixmap and the two Render pictures that scale it into the window.
struct ServerScaler {
  Pixmap tile = 0;
  XID source = 0;  // the tile's picture, with the scale, the sampling and (tiled) the repeat
  XID target = 0;  // the window's picture
};

// Makes the scaler for a picture of `scale` in `window`, when the scale is not 0 and the server
// has the Render extension and a format for the window's visual; false otherwise (nothing made).
bool CreateServerScaler(Display* display, Window window, Visual* visual, int depth,
                        ServerScale scale, bool enlarged, ServerScaler& scaler);
// Scales what was last put into the tile's pixmap onto the picture's place in the window.
void ScaleOnServer(Display* display, const ServerScaler& scaler, const FramePlace& place);
// Frees the pictures, then the pixmap.
void ReleaseServerScaler(Display* display, ServerScaler& scaler);
