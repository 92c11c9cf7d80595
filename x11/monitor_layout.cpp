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

// The area two rectangles share; empty (zero width or height) when they do not overlap.
WindowArea Common(const WindowArea& a, const WindowArea& b) {
  const int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  const int right = std::min(a.x + a.width, b.x + b.width);
  const int bottom = std::min(a.y + a.height, b.y + b.height);
  if (right <= left || bottom <= top) return {left, top, 0, 0};
  return {left, top, right - left, bottom - top};
}

bool Overlap(const WindowArea& a, const WindowArea& b) {
  return Common(a, b).width > 0;
}

WindowArea Bounds(const WindowArea& a, const WindowArea& b) {
  const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.width, b.x + b.width) - left,
          std::max(a.y + a.height, b.y + b.height) - top};
}

// The monitors that show something: inside the window, each area once.
std::vector<WindowArea> VisibleMonitors(int windowWidth, int windowHeight,
                                        const std::vector<WindowArea>& monitors) {
  std::vector<WindowArea> visible;
  const WindowArea window{0, 0, windowWidth, windowHeight};
  for (const WindowArea& monitor : monitors) {
    const WindowArea clipped = Common(monitor, window);
    if (clipped.width <= 0) continue;
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
  if (visible.empty() && windowWidth > 0 && windowHeight > 0) visible.push_back(window);
  return visible;
}

// Monitors that show one picture together, and the area it is fitted to: the area they all
// share, or, where they share none (a chain: A overlaps B, B overlaps C, A misses C), the box
// around them, of which each shows a part.
struct Showing {
  std::vector<WindowArea> monitors;
  WindowArea common, bounds;
  WindowArea Area() const { return common.width > 0 ? common : bounds; }
};

// Whether a picture of `a` would be drawn on a monitor of `b`, or theirs overlap.
bool Meets(const Showing& a, const Showing& b) {
  for (const WindowArea& other : b.monitors) {
    if (Overlap(a.Area(), other)) return true;
    for (const WindowArea& monitor : a.monitors)
      if (Overlap(monitor, other)) return true;
  }
  return false;
}

// Overlapping monitors (mirrored ones at different sizes) each drawing a picture of their own
// would show two pictures with a seam where one ends: they are joined into one showing, as are
// showings that meet, until none does.
std::vector<Showing> JoinOverlaps(const std::vector<WindowArea>& monitors) {
  std::vector<Showing> showings;
  for (const WindowArea& monitor : monitors) showings.push_back({{monitor}, monitor, monitor});
  for (bool joined = true; joined;) {
    joined = false;
    for (std::size_t i = 0; i < showings.size() && !joined; ++i)
      for (std::size_t j = i + 1; j < showings.size() && !joined; ++j) {
        Showing& a = showings[i];
        const Showing& b = showings[j];
        if (!Meets(a, b) && !Meets(b, a)) continue;
        a.monitors.insert(a.monitors.end(), b.monitors.begin(), b.monitors.end());
        a.common = a.common.width > 0 && b.common.width > 0 ? Common(a.common, b.common)
                                                            : WindowArea{0, 0, 0, 0};
        a.bounds = Bounds(a.bounds, b.bounds);
        showings.erase(showings.begin() + static_cast<std::ptrdiff_t>(j));
        joined = true;
      }
  }
  return showings;
}

// The parts of `monitor` around `picture`: above and below across the whole monitor, left and
// right beside the picture; all of it where the picture misses the monitor.
void AddBands(const WindowArea& monitor, const FramePlace& picture,
              std::vector<WindowArea>& bands) {
  auto band = [&bands](int x, int y, int width, int height) {
    if (width > 0 && height > 0) bands.push_back({x, y, width, height});
  };
  const WindowArea shown = Common(monitor, {picture.x, picture.y, picture.width, picture.height});
  if (shown.width <= 0) {
    bands.push_back(monitor);
    return;
  }
  const FramePlace place{shown.x, shown.y, shown.width, shown.height};
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
  for (const Showing& showing :
       JoinOverlaps(VisibleMonitors(windowWidth, windowHeight, monitors))) {
    const WindowArea area = showing.Area();
    FramePlace place = PlacePicture(area.width, area.height, stretch);
    place.x += area.x;
    place.y += area.y;
    for (const WindowArea& monitor : showing.monitors) AddBands(monitor, place, layout.bands);
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
