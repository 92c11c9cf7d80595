// The Render extension's scaled copy of the tile into the window.
#include "x11/server_scale.h"

#include <X11/extensions/Xrender.h>

#include "engine/compose.h"

bool CreateServerScaler(Display* display, Window window, Visual* visual, int depth,
                        ServerScale scale, bool enlarged, ServerScaler& scaler) {
  scaler = ServerScaler{};
  int eventBase = 0, errorBase = 0;
  if (scale.across == 0 || !XRenderQueryExtension(display, &eventBase, &errorBase)) return false;
  XRenderPictFormat* format = XRenderFindVisualFormat(display, visual);
  if (format == nullptr) return false;

  // The tile's pixmap has the window's depth, so the picture's pixel values go in unchanged.
  scaler.tile = XCreatePixmap(display, window, kTileWidth, kTileHeight, depth);
  XRenderPictureAttributes repeat{};
  repeat.repeat = enlarged ? RepeatNone : RepeatNormal;
  scaler.source = XRenderCreatePicture(display, scaler.tile, format, CPRepeat, &repeat);
  scaler.target = XRenderCreatePicture(display, window, format, 0, nullptr);

  // The transform maps picture pixels to tile pixels: one over the scale, truncated as the
  // drift bound assumes.
  XTransform transform{};
  transform.matrix[0][0] = static_cast<XFixed>(65536 / scale.across);
  transform.matrix[1][1] = static_cast<XFixed>(65536 / scale.down);
  transform.matrix[2][2] = XDoubleToFixed(1);
  XRenderSetPictureTransform(display, scaler.source, &transform);
  XRenderSetPictureFilter(display, scaler.source, FilterNearest, nullptr, 0);
  return true;
}

void ScaleOnServer(Display* display, const ServerScaler& scaler, const FramePlace& place) {
  XRenderComposite(display, PictOpSrc, scaler.source, None, scaler.target, 0, 0, 0, 0, place.x,
                   place.y, static_cast<unsigned>(place.width),
                   static_cast<unsigned>(place.height));
}

void ReleaseServerScaler(Display* display, ServerScaler& scaler) {
  if (scaler.tile == 0) return;
  XRenderFreePicture(display, scaler.target);
  XRenderFreePicture(display, scaler.source);
  XFreePixmap(display, scaler.tile);
  scaler = ServerScaler{};
}
