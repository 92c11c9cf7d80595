// Where the X11 saver puts its pictures in a window that spans several monitors: one fitted (or
// stretched) picture per monitor, one image per distinct size, black bands inside each monitor.
#include <gtest/gtest.h>

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

TEST(X11Layout, OnePicturePerMonitor) {
  struct Case {
    const char* what;
    int width, height;  // the window
    std::vector<WindowArea> monitors;
    bool stretch;
    const char* pictures;
    const char* bands;
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
    EXPECT_EQ(Bands(layout), c.bands) << c.what;
  }
}

}  // namespace
