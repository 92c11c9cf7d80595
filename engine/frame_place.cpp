#include "engine/frame_place.h"

#include "engine/compose.h"

FramePlace FitFrame(int areaWidth, int areaHeight) {
  const long long width = areaWidth, height = areaHeight;
  const bool fullWidth = width * kFrameHeight <= height * kFrameWidth;
  const int fittedWidth =
      fullWidth ? areaWidth
                : static_cast<int>((height * kFrameWidth + kFrameHeight / 2) / kFrameHeight);
  const int fittedHeight =
      fullWidth ? static_cast<int>((width * kFrameHeight + kFrameWidth / 2) / kFrameWidth)
                : areaHeight;
  return {(areaWidth - fittedWidth) / 2, (areaHeight - fittedHeight) / 2, fittedWidth,
          fittedHeight};
}
