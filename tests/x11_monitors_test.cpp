// glimra on a display with two monitors side by side (Xorg with the dummy driver, 1024 x 768 and
// 1280 x 720 right of it): --root shows on each monitor one picture of the same frame of
// glimra-render, fitted with black around it or, with --stretch, filling it, and follows the
// monitors when they move; a given window across both monitors (XScreenSaver's) gets one picture.
// GoogleTest comes before Xlib, whose None and Bool macros clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "x11_test_support.h"

namespace {

const std::vector<Area> kSideBySide = {{0, 0, 1024, 768}, {1024, 0, 1280, 720}};
const std::vector<Area> kSwapped = {{1280, 0, 1024, 768}, {0, 0, 1280, 720}};
constexpr int kRootWidth = 2304, kRootHeight = 768;

// The frame (1-based) that every monitor shows in one of the shots, or 0. The shots are taken a
// moment apart, as one may fall between the monitors' pictures of one frame.
int FrameOnEveryMonitor(const std::vector<Rgb>& shots, const std::vector<Area>& monitors,
                        const std::vector<Rgb>& frames, bool stretch) {
  for (const Rgb& shot : shots)
    for (std::size_t k = 0; k < frames.size(); ++k) {
      bool everywhere = true;
      for (const Area& monitor : monitors)
        everywhere = everywhere && ShowsFrame(shot, kRootWidth, monitor, frames[k], stretch);
      if (everywhere) return static_cast<int>(k) + 1;
    }
  return 0;
}

class X11TwoMonitorTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    if (StartServerShell(GLIMRA_XORG_SH, "xorg_start 1024x768 1280x720", "xorg_stop", server,
                         error))
      display = XOpenDisplay(server.displayName.c_str());
    displayName = server.displayName;
    if (display == nullptr) skipReason = "Xorg with the dummy driver cannot start here: " + error;
  }
  static void TearDownTestSuite() {
    if (display) XCloseDisplay(display);
    display = nullptr;
    StopServerShell(server);
  }
  void SetUp() override {
    if (display == nullptr) GTEST_SKIP() << skipReason;
  }

  static void PlaceMonitors(const std::vector<Area>& monitors) {
    const std::string command = "DISPLAY=" + displayName + " xrandr --output DUMMY0 --pos " +
                                std::to_string(monitors[0].x) + "x0 --output DUMMY1 --pos " +
                                std::to_string(monitors[1].x) + "x0";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  // Three screenshots of the root, a moment apart.
  static std::vector<Rgb> RootShots() {
    std::vector<Rgb> shots;
    for (int i = 0; i < 3; ++i, Sleep(20))
      shots.push_back(Screenshot(display, DefaultRootWindow(display), kRootWidth, kRootHeight));
    return shots;
  }

  static pid_t StartGlimra(std::vector<std::string> args, std::vector<std::string> environment) {
    args.insert(args.begin(), GLIMRA_X11);
    environment.push_back("DISPLAY=" + displayName);
    return Start(args, environment, TempPath("glimra-stderr.txt"));
  }

  static ServerShell server;
  static std::string displayName, skipReason;
  static Display* display;
};

ServerShell X11TwoMonitorTest::server;
std::string X11TwoMonitorTest::displayName, X11TwoMonitorTest::skipReason;
Display* X11TwoMonitorTest::display = nullptr;

TEST_F(X11TwoMonitorTest, RootShowsTheFrameOnEachMonitor) {
  const std::string ini = TempPath("defaults.ini");
  std::ofstream(ini, std::ios::binary) << "";
  for (bool stretch : {false, true}) {
    const char* what = stretch ? "--stretch" : "fitted";
    XWindowAttributes root;
    XGetWindowAttributes(display, DefaultRootWindow(display), &root);
    ASSERT_EQ(root.width, kRootWidth);
    ASSERT_EQ(root.height, kRootHeight);
    const auto start = Clock::now();
    const pid_t pid = StartGlimra(stretch ? std::vector<std::string>{"--root", "--stretch"}
                                          : std::vector<std::string>{"--root"},
                                  {});
    Sleep(700);
    const std::vector<Rgb> sideBySide = RootShots();
    std::vector<Rgb> swapped;
    if (!stretch) {  // the monitors trade places: the pictures follow
      PlaceMonitors(kSwapped);
      Sleep(700);
      swapped = RootShots();
      PlaceMonitors(kSideBySide);
    }
    const int most = static_cast<int>(Milliseconds(start) / 50) + 10;
    int status = 0;
    EXPECT_FALSE(WaitFor(pid, 0, status))
        << what << ": glimra ended early: " << ReadText(TempPath("glimra-stderr.txt"));
    Stop(pid);
    const std::vector<Rgb> frames = RenderedFrames(ini, most);
    ASSERT_EQ(static_cast<int>(frames.size()), most) << what;
    const int shown = FrameOnEveryMonitor(sideBySide, kSideBySide, frames, stretch);
    EXPECT_GT(shown, 1) << what << ": no frame of 2.." << most << " on both monitors";
    if (!stretch) {
      EXPECT_GT(FrameOnEveryMonitor(swapped, kSwapped, frames, stretch), shown)
          << what << ": after the monitors moved";
    }
  }
}

// XScreenSaver's window is one area, however many monitors it covers.
TEST_F(X11TwoMonitorTest, GivenWindowAcrossMonitorsGetsOnePicture) {
  const std::string ini = TempPath("defaults.ini");
  std::ofstream(ini, std::ios::binary) << "";
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kRootWidth,
                                            kRootHeight, 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  char id[32];
  std::snprintf(id, sizeof id, "XSCREENSAVER_WINDOW=0x%lx", window);
  const auto start = Clock::now();
  const pid_t pid = StartGlimra({"--root"}, {id});
  Sleep(700);
  const Rgb shot = Screenshot(display, window, kRootWidth, kRootHeight);
  const int most = static_cast<int>(Milliseconds(start) / 50) + 10;
  Stop(pid);
  const std::vector<Rgb> frames = RenderedFrames(ini, most);
  int shown = 0;
  for (int k = 0; k < most && shown == 0; ++k)
    if (ShowsFrame(shot, kRootWidth, {0, 0, kRootWidth, kRootHeight}, frames[k], false))
      shown = k + 1;
  EXPECT_GT(shown, 1) << "no frame of 2.." << most << " in one picture over the window";
  XDestroyWindow(display, window);
  XSync(display, False);
}

}  // namespace
