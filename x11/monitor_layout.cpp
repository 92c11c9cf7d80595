// The per-monitor layout of the X11 saver's pictures.
#include "x11/monitor_layout.h"

#include <algorithm>

#include "engine/pixel_lookup.h"

namespace {

bool SameArea(const WindowArea& a, const WindowArea& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool Inside(const WindowArea& inner, const WindowArea& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

// The monitors that show something: inside the window, each area once.
std::vector<WindowArea> VisibleMonitors(int windowWidth, int windowHeight,
                                        const std::vector<WindowArea>& monitors) {
  std::vector<WindowArea> visible;
  for (const WindowArea& monitor : monitors) {
    const int left = std::max(monitor.x, 0), top = std::max(monitor.y, 0);
    const int right = std::min(monitor.x + monitor.width, windowWidth);
    const int bottom = std::min(monitor.y + monitor.height, windowHeight);
    if (right <= left || bottom <= top) continue;
    const WindowArea clipped{left, top, right - left, bottom - top};
    if (std::none_of(visible.begin(), visible.end(),
                     [&](const WindowArea& seen) { return SameArea(seen, clipped); }))
      visible.push_back(clipped);
  }
  // A monitor inside another (a clone at a smaller mode) shows part of the larger one's picture:
  // a picture of its own would be drawn over the larger monitor's.
  std::vector<WindowArea> outer;
  for (const WindowArea& monitor : visible)
    if (std::none_of(visible.begin(), visible.end(), [&](const WindowArea& other) {
          return !SameArea(other, monitor) && Inside(monitor, other);
        }))
      outer.push_back(monitor);
  visible = outer;
  if (visible.empty() && windowWidth > 0 && windowHeight > 0)
    visible.push_back({0, 0, windowWidth, windowHeight});
  return visible;
}

// The parts of `monitor` around `place`: above and below across the whole monitor, left and
// right beside the picture.
void AddBands(const WindowArea& monitor, const FramePlace& place, std::vector<WindowArea>& bands) {
  auto band = [&bands](int x, int y, int width, int height) {
    if (width > 0 && height > 0) bands.push_back({x, y, width, height});
  };
  const int right = place.x + place.width, bottom = place.y + place.height;
  band(monitor.x, monitor.y, monitor.width, place.y - monitor.y);
  band(monitor.x, bottom, monitor.width, monitor.y + monitor.height - bottom);
  band(monitor.x, place.y, place.x - monitor.x, place.height);
  band(right, place.y, monitor.x + monitor.width - right, place.height);
}

}  // namespace

PictureLayout LayOutPictures(int windowWidth, int windowHeight,
                             const std::vector<WindowArea>& monitors, bool stretch) {
  PictureLayout layout;
  for (const WindowArea& monitor : VisibleMonitors(windowWidth, windowHeight, monitors)) {
    FramePlace place = PlacePicture(monitor.width, monitor.height, stretch);
    place.x += monitor.x;
    place.y += monitor.y;
    AddBands(monitor, place, layout.bands);
    auto group = std::find_if(
        layout.groups.begin(), layout.groups.end(),
        [&](const PictureGroup& g) { return g.width == place.width && g.height == place.height; });
    if (group == layout.groups.end())
      layout.groups.push_back({place.width, place.height, {place}});
    else
      group->places.push_back(place);
  }
  return layout;
}
