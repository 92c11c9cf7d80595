// Where the X11 saver puts its pictures in a window that spans several monitors: one fitted (or
// stretched) picture per monitor, one image per distinct size, black bands inside each monitor;
// monitors that overlap show one picture together, never two with a seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "x11/monitor_layout.h"

namespace {

std::string Area(int x, int y, int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" +
         std::to_string(y);
}

// "SIZE: PLACE PLACE; SIZE: PLACE" for the pictures, "AREA AREA" for the bands.
std::string Pictures(const PictureLayout& layout) {
  std::string text;
  for (const PictureGroup& group : layout.groups) {
    text += (text.empty() ? "" : "; ") + std::to_string(group.width) + "x" +
            std::to_string(group.height) + ":";
    for (const FramePlace& p : group.places) text += " " + Area(p.x, p.y, p.width, p.height);
  }
  return text;
}

std::string Bands(const PictureLayout& layout) {
  std::string text;
  for (const WindowArea& a : layout.bands)
    text += (text.empty() ? "" : " ") + Area(a.x, a.y, a.width, a.height);
  return text;
}

// What a user would see wrong: a monitor that shows parts of two pictures (a seam), a picture
// drawn over another or under a band, or a pixel of a monitor left undrawn. Empty when none.
std::string Faults(int width, int height, const std::vector<WindowArea>& monitors,
                   const PictureLayout& layout) {
  std::vector<int> picture(static_cast<std::size_t>(width) * height, -1);
  std::vector<bool> band(picture.size(), false);
  int index = 0;
  for (const PictureGroup& group : layout.groups)
    for (const FramePlace& p : group.places) {
      for (int y = std::max(p.y, 0); y < std::min(p.y + p.height, height); ++y)
        for (int x = std::max(p.x, 0); x < std::min(p.x + p.width, width); ++x) {
          if (picture[y * width + x] >= 0) return "two pictures at " + Area(x, y, 1, 1);
          picture[y * width + x] = index;
        }
      ++index;
    }
  for (const WindowArea& a : layout.bands)
    for (int y = a.y; y < a.y + a.height; ++y)
      for (int x = a.x; x < a.x + a.width; ++x) {
        if (picture[y * width + x] >= 0) return "a band over a picture at " + Area(x, y, 1, 1);
        band[y * width + x] = true;
      }
  for (const WindowArea& m : monitors) {
    int shown = -1;
    for (int y = std::max(m.y, 0); y < std::min(m.y + m.height, height); ++y)
      for (int x = std::max(m.x, 0); x < std::min(m.x + m.width, width); ++x) {
        const int p = picture[y * width + x];
        if (p < 0 && !band[y * width + x]) return "undrawn at " + Area(x, y, 1, 1);
        if (p >= 0 && shown >= 0 && p != shown)
          return "monitor " + Area(m.x, m.y, m.width, m.height) + " shows two pictures";
        if (p >= 0) shown = p;
      }
  }
  return "";
}

TEST(X11Layout, OnePicturePerMonitor) {
  struct Case {
    const char* what;
    int width, height;  // the window
    std::vector<WindowArea> monitors;
    bool stretch;
    const char* pictures;
    const char* bands;  // nullptr: only checked for faults
  };
  const std::vector<Case> cases = {
      {"one area: the whole window", 1024, 768, {}, false, "1024x768: 1024x768+0+0", ""},
      {"one area, wide",
       800,
       300,
       {},
       false,
       "400x300: 400x300+200+0",
       "200x300+0+0 200x300+600+0"},
      {"the server's one monitor is the window",
       1600,
       1200,
       {{0, 0, 1600, 1200}},
       false,
       "1600x1200: 1600x1200+0+0",
       ""},
      {"1024x768 beside 1280x720",
       2304,
       768,
       {{0, 0, 1024, 768}, {1024, 0, 1280, 720}},
       false,
       "1024x768: 1024x768+0+0; 960x720: 960x720+1184+0",
       "160x720+1024+0 160x720+2144+0"},
      {"the same, stretched",
       2304,
       768,
       {{0, 0, 1024, 768}, {1024, 0, 1280, 720}},
       true,
       "1024x768: 1024x768+0+0; 1280x720: 1280x720+1024+0",
       ""},
      {"two of one size share one picture",
       3840,
       1080,
       {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
       false,
       "1440x1080: 1440x1080+240+0 1440x1080+2160+0",
       "240x1080+0+0 240x1080+1680+0 240x1080+1920+0 240x1080+3600+0"},
      {"stacked, the lower one taller",
       1200,
       2400,
       {{0, 0, 1200, 900}, {0, 900, 1200, 1500}},
       false,
       "1200x900: 1200x900+0+0 1200x900+0+1200",
       "1200x300+0+900 1200x300+0+2100"},
      {"a mirrored monitor is drawn once",
       640,
       480,
       {{0, 0, 640, 480}, {0, 0, 640, 480}},
       false,
       "640x480: 640x480+0+0",
       ""},
      {"a clone at a smaller mode shows part of the larger one's picture",
       800,
       600,
       {{0, 0, 640, 480}, {0, 0, 800, 600}},
       false,
       "800x600: 800x600+0+0",
       ""},
      {"a monitor past the edge is cut, one outside dropped",
       1280,
       480,
       {{0, 0, 640, 480}, {640, 0, 1280, 480}, {1280, 0, 640, 480}},
       false,
       "640x480: 640x480+0+0 640x480+640+0",
       ""},
      {"mirrored at different sizes: fitted to the area both show",
       1280,
       768,
       {{0, 0, 1024, 768}, {0, 0, 1280, 720}},
       false,
       "960x720: 960x720+32+0",
       "1024x48+0+720 32x720+0+0 32x720+992+0 32x720+0+0 288x720+992+0"},
      {"the same, stretched over that area",
       1280,
       768,
       {{0, 0, 1024, 768}, {0, 0, 1280, 720}},
       true,
       "1024x720: 1024x720+0+0",
       "1024x48+0+720 256x720+1024+0"},
      {"half over each other, with a monitor of their size beside",
       2176,
       768,
       {{0, 0, 1024, 768}, {512, 0, 1024, 768}, {1536, 0, 640, 480}},
       false,
       "512x384: 512x384+512+192; 640x480: 640x480+1536+0",
       nullptr},
      {"three sharing an area",
       1480,
       768,
       {{0, 0, 1024, 768}, {0, 0, 1280, 720}, {200, 0, 1280, 600}},
       false,
       "800x600: 800x600+212+0",
       nullptr},
      {"a chain sharing no area: the box around it, each a part; the next one its own",
       2640,
       600,
       {{0, 0, 800, 600}, {600, 0, 800, 600}, {1200, 0, 800, 600}, {2000, 0, 640, 480}},
       false,
       "800x600: 800x600+600+0; 640x480: 640x480+2000+0",
       "600x600+0+0 600x600+1400+0"},
      {"a monitor in the bend of a chain's box joins it",
       1300,
       1300,
       {{0, 0, 1000, 400}, {900, 0, 400, 1000}, {0, 900, 1000, 400}, {0, 450, 800, 400}},
       false,
       "1300x975: 1300x975+0+162",
       nullptr},
      {"no monitor inside the window: the whole window",
       640,
       480,
       {{700, 0, 640, 480}, {0, 0, 0, 0}},
       false,
       "640x480: 640x480+0+0",
       ""},
  };
  for (const Case& c : cases) {
    const PictureLayout layout = LayOutPictures(c.width, c.height, c.monitors, c.stretch);
    EXPECT_EQ(Pictures(layout), c.pictures) << c.what;
    if (c.bands != nullptr) {
      EXPECT_EQ(Bands(layout), c.bands) << c.what;
    }
    EXPECT_EQ(Faults(c.width, c.height, c.monitors, layout), "") << c.what;
  }
}

}  // namespace
