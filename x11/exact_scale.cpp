// The whole enlargements that an X server scales without a sample crossing a pixel's edge.
#include "x11/exact_scale.h"

#include "engine/compose.h"

namespace {

// The server steps from one sample to the next by the scale's inverse in 16.16 fixed point,
// truncated, so a sample drifts by at most 1/65536 of a tile pixel per picture pixel (and one
// more for the start). Samples of a whole scale k sit at least 1/(2k) inside a tile pixel; the
// drift over a side of n pixels stays below that while (n + 2) * k < 32768, and below half of it,
// a margin for servers that sample in floating point, while (n + 2) * k < 16384. That allows
// enlargements up to ten times (a 1600 x 1200 picture) and tiled frames up to five times.
bool DriftStaysInside(int pixels, int scale) {
  return scale >= 1 && static_cast<long long>(pixels + 2) * scale < 16384;
}

int WholeScale(int pixels, int unit) {
  return pixels > 0 && pixels % unit == 0 ? pixels / unit : 0;
}

}  // namespace

ServerScale ExactServerScale(int width, int height, bool enlarged) {
  // Enlarged: one tile pixel is width / 160 picture pixels. Tiled: one frame pixel is
  // width / 640, and the frame repeats the tile four by four.
  const int across = WholeScale(width, enlarged ? kTileWidth : kFrameWidth);
  const int down = WholeScale(height, enlarged ? kTileHeight : kFrameHeight);
  if (!DriftStaysInside(width, across) || !DriftStaysInside(height, down)) return {0, 0};
  return {across, down};
}
