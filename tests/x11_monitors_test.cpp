// glimra on a display with two monitors side by side (Xorg with the dummy driver, 1024 x 768 and
// 1280 x 720 right of it): --root shows on each monitor one picture of the same frame of
// glimra-render, fitted with black around it or, with --stretch, filling it, and follows the
// monitors when they move; mirrored at different sizes they show one picture together; a given
// window across both monitors (XScreenSaver's) gets one picture; xsecurelock's per-monitor
// windows each get a moving picture, and its end ends them.
// GoogleTest comes before Xlib, whose None and Bool macros clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "x11_test_support.h"

namespace {

const std::vector<Area> kSideBySide = {{0, 0, 1024, 768}, {1024, 0, 1280, 720}};
const std::vector<Area> kSwapped = {{1280, 0, 1024, 768}, {0, 0, 1280, 720}};
const std::vector<Area> kMirrored = {{0, 0, 1024, 768}, {0, 0, 1280, 720}};
constexpr int kRootWidth = 2304, kRootHeight = 768;

// The frame (1-based) that every monitor shows in one of the shots (`width` pixels wide), or 0.
// The shots are taken a moment apart, as one may fall between the monitors' pictures of one
// frame.
int FrameOnEveryMonitor(const std::vector<Rgb>& shots, const std::vector<Area>& monitors,
                        const std::vector<Rgb>& frames, bool stretch, int width = kRootWidth) {
  for (const Rgb& shot : shots)
    for (std::size_t k = 0; k < frames.size(); ++k) {
      bool everywhere = true;
      for (const Area& monitor : monitors)
        everywhere = everywhere && ShowsFrame(shot, width, monitor, frames[k], stretch);
      if (everywhere) return static_cast<int>(k) + 1;
    }
  return 0;
}

bool IsBlack(const Rgb& shot, int shotWidth, const Area& area) {
  for (int y = area.y; y < area.y + area.height; ++y)
    for (int x = area.x; x < area.x + area.width; ++x)
      for (int c = 0; c < 3; ++c)
        if (shot[(static_cast<std::size_t>(y) * shotWidth + x) * 3 + c] != 0) return false;
  return true;
}

// The running processes of the glimra under test on `displayName`, found by their program file
// and their DISPLAY.
std::vector<pid_t> GlimraProcesses(const std::string& displayName) {
  char program[PATH_MAX];
  if (realpath(GLIMRA_X11, program) == nullptr) return {};
  std::vector<pid_t> found;
  DIR* proc = opendir("/proc");
  for (dirent* entry; proc != nullptr && (entry = readdir(proc)) != nullptr;) {
    const std::string folder = std::string("/proc/") + entry->d_name;
    char exe[PATH_MAX];
    const ssize_t length = readlink((folder + "/exe").c_str(), exe, sizeof exe - 1);
    if (length <= 0 || std::string(exe, length) != program) continue;
    const std::string environment = ReadText(folder + "/environ");
    if (environment.find(std::string("DISPLAY=") + displayName + '\0') == 0 ||
        environment.find(std::string("\0DISPLAY=") + displayName + '\0') != std::string::npos)
      found.push_back(std::atoi(entry->d_name));
  }
  if (proc != nullptr) closedir(proc);
  return found;
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

  // Moves the monitors (only sideways: their x).
  static void PlaceMonitors(const std::vector<Area>& monitors) {
    const std::string command = "DISPLAY=" + displayName + " xrandr --output DUMMY0 --pos " +
                                std::to_string(monitors[0].x) + "x0 --output DUMMY1 --pos " +
                                std::to_string(monitors[1].x) + "x0";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  // Three screenshots of the root, a moment apart.
  static std::vector<Rgb> RootShots(int width = kRootWidth, int height = kRootHeight) {
    std::vector<Rgb> shots;
    for (int i = 0; i < 3; ++i, Sleep(20))
      shots.push_back(Screenshot(display, DefaultRootWindow(display), width, height));
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

// Mirrored at different sizes (1024 x 768 and 1280 x 720 at 0,0), each monitor shows one whole
// picture, fitted to the 1024 x 720 they both show, and black elsewhere: no strip of another.
TEST_F(X11TwoMonitorTest, MirroredMonitorsShowOneWholePicture) {
  const std::string ini = TempPath("defaults.ini");
  std::ofstream(ini, std::ios::binary) << "";
  PlaceMonitors(kMirrored);
  XWindowAttributes root;
  XGetWindowAttributes(display, DefaultRootWindow(display), &root);
  const auto start = Clock::now();
  const pid_t pid = StartGlimra({"--root"}, {});
  Sleep(700);
  const std::vector<Rgb> shots = RootShots(1280, 768);
  const int most = static_cast<int>(Milliseconds(start) / 50) + 10;
  int status = 0;
  EXPECT_FALSE(WaitFor(pid, 0, status))
      << "glimra ended early: " << ReadText(TempPath("glimra-stderr.txt"));
  Stop(pid);
  PlaceMonitors(kSideBySide);
  ASSERT_TRUE(root.width == 1280 && root.height == 768)
      << "xrandr did not mirror the monitors: the root is " << root.width << "x" << root.height;
  const std::vector<Rgb> frames = RenderedFrames(ini, most);
  ASSERT_EQ(static_cast<int>(frames.size()), most);
  int shown = 0;
  for (const Rgb& shot : shots)
    if (IsBlack(shot, 1280, {0, 720, 1024, 48}) && IsBlack(shot, 1280, {1024, 0, 256, 720}))
      shown =
          std::max(shown, FrameOnEveryMonitor({shot}, {{0, 0, 1024, 720}}, frames, false, 1280));
  EXPECT_GT(shown, 1) << "no frame of 2.." << most
                      << " fitted to the shared 1024x720 with black elsewhere on both monitors";
}

// xsecurelock runs the saver it is given as "PROGRAM -root" in a window of its own on each monitor
// (XSCREENSAVER_WINDOW in decimal): each shows a moving picture fitted to it, and ending the
// locker ends them all.
TEST_F(X11TwoMonitorTest, UnderXsecurelockEachMonitorShowsTheRings) {
  if (std::system("command -v xsecurelock >/dev/null") != 0)
    GTEST_SKIP() << "xsecurelock is not installed (tools/install-deps.sh installs it)";
  const std::string ini = TempPath("defaults.ini");
  std::ofstream(ini, std::ios::binary) << "";
  const std::string lockErr = TempPath("xsecurelock-stderr.txt");
  const auto start = Clock::now();
  const pid_t locker =
      Start({"xsecurelock"},
            {"DISPLAY=" + displayName, std::string("XSECURELOCK_SAVER=") + GLIMRA_X11,
             "XSECURELOCK_NO_COMPOSITE=1"},
            lockErr);
  std::vector<pid_t> savers;
  for (int waited = 0; savers.size() < 2 && waited < 5000; waited += 100, Sleep(100))
    savers = GlimraProcesses(displayName);
  Sleep(700);
  const std::vector<Rgb> early = RootShots();
  Sleep(500);
  const std::vector<Rgb> later = RootShots();
  const int most = static_cast<int>(Milliseconds(start) / 50) + 10;
  int status = 0;
  const bool lockerEnded = WaitFor(locker, 0, status);
  kill(locker, SIGTERM);
  std::vector<pid_t> left = GlimraProcesses(displayName);
  for (int waited = 0; !left.empty() && waited < 5000; waited += 100, Sleep(100))
    left = GlimraProcesses(displayName);
  if (!WaitFor(locker, 5000, status)) Stop(locker);
  for (pid_t pid : left) kill(pid, SIGKILL);
  ASSERT_FALSE(lockerEnded) << "xsecurelock ended early: " << ReadText(lockErr);
  EXPECT_EQ(savers.size(), 2u) << "glimra processes under xsecurelock, one per monitor";
  EXPECT_TRUE(left.empty()) << left.size() << " glimra still running after the locker ended";
  const std::vector<Rgb> frames = RenderedFrames(ini, most);
  ASSERT_EQ(static_cast<int>(frames.size()), most);
  for (const Area& monitor : kSideBySide) {
    const int first = FrameOnEveryMonitor(early, {monitor}, frames, false);
    const int next = FrameOnEveryMonitor(later, {monitor}, frames, false);
    EXPECT_GT(first, 1) << "monitor at x " << monitor.x << ": no frame of 2.." << most;
    EXPECT_GT(next, first) << "monitor at x " << monitor.x << ": the picture did not move";
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
