// The X11 saver run as a program under a private Xvfb (tools/lib/xvfb.sh): its picture in a
// test-made window equals, pixel for pixel, one of glimra-render's frames for the same settings,
// kept in shape (or stretched) in windows of any size, drawn by the server's scaling where that is
// exact and by glimra itself elsewhere (also on a server without Render); it follows resizes; it
// ends cleanly on SIGTERM (and leaves no shared memory even when killed); it ends when its window
// is destroyed; its own window closes on q; its exit codes. GoogleTest comes before Xlib, whose
// None and Bool macros clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "x11_test_support.h"

namespace {

// Shared-memory segments created by `pid`, as `ipcs -m -p` lists them (cpid column).
int SegmentsCreatedBy(pid_t pid) {
  FILE* list = popen("ipcs -m -p", "r");
  if (list == nullptr) return -1;
  int count = 0;
  char line[256];
  while (std::fgets(line, sizeof line, list)) {
    long shmid, cpid, lpid;
    char owner[64];
    if (std::sscanf(line, "%ld %63s %ld %ld", &shmid, owner, &cpid, &lpid) == 4 && cpid == pid)
      ++count;
  }
  pclose(list);
  return count;
}

// What the preloaded counter saw glimra show: pictures put into the window or copied there,
// their pixels, and how many of them were Render's scaled copies of the tile.
struct ShownPictures {
  std::uint64_t calls = 0, pixels = 0, scaledCopies = 0;
};

ShownPictures ReadShownPictures(const std::string& path) {
  std::array<std::uint64_t, 3> counts{};
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(counts.data()), sizeof counts);
  return {counts[0], counts[1], counts[2]};
}

// The environment that makes glimra count what it shows into `countPath`.
std::vector<std::string> CountingEnvironment(const std::string& countPath) {
  std::remove(countPath.c_str());  // the counter adds to what the file holds
  // AddressSanitizer wants its runtime first among the libraries; the counter comes before it.
  const char* asan = std::getenv("ASAN_OPTIONS");
  return {std::string("LD_PRELOAD=") + GLIMRA_PUTIMAGE_COUNTER,
          "GLIMRA_PUTIMAGE_COUNT=" + countPath,
          "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":verify_asan_link_order=0"};
}

// Who scaled the picture: the server (Render's scaled copies of the tile, nothing else shown), or
// glimra itself (no scaled copy at all); EitherWay for a case whose resize changes the path.
enum ScaledBy { ByServer, ByGlimra, EitherWay };

bool ScaledAsExpected(ScaledBy scaledBy, const ShownPictures& shown) {
  if (scaledBy == ByServer) return shown.scaledCopies > 0 && shown.scaledCopies == shown.calls;
  if (scaledBy == ByGlimra) return shown.calls > 0 && shown.scaledCopies == 0;
  return true;
}

struct PictureCase {
  const char* what;
  std::vector<std::string> options;  // window options are added by the test
  const char* iniText;               // the same settings for glimra-render
  int width, height;                 // the window at the start
  int resizeWidth, resizeHeight;     // 0: not resized
  enum { WindowId, WindowIdDecimal, RootWithVariable } target;
  ScaledBy scaledBy;
};

class X11DisplayTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { StartServer(nullptr); }

  // A private Xvfb (tools/lib/xvfb.sh). Without MIT-SHM it stands for a remote display, where
  // glimra has to send its pictures with XPutImage; without RENDER, glimra has to scale every
  // picture itself.
  static void StartServer(const char* withoutExtension) {
    const std::string start = std::string("xvfb_start 1600x1200x24 ") +
                              (withoutExtension ? "-extension " : "+extension ") +
                              (withoutExtension ? withoutExtension : "MIT-SHM");
    std::string error;
    ASSERT_TRUE(StartServerShell(GLIMRA_XVFB_SH, start, "xvfb_stop", server, error))
        << "Xvfb did not start: " << error;
    displayName = server.displayName;
    display = XOpenDisplay(displayName.c_str());
    ASSERT_NE(display, nullptr) << "cannot open Xvfb's display " << displayName;
  }
  static void TearDownTestSuite() {
    if (display) XCloseDisplay(display);
    display = nullptr;
    StopServerShell(server);
  }

  Window MakeWindow(int width, int height) {
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, 0);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    do XNextEvent(display, &event);
    while (event.type != MapNotify);
    XSync(display, False);
    return window;
  }

  pid_t StartGlimra(std::vector<std::string> args, std::vector<std::string> environment = {}) {
    args.insert(args.begin(), GLIMRA_X11);
    environment.push_back("DISPLAY=" + displayName);
    return Start(args, environment, TempPath("glimra-stderr.txt"));
  }

  void ExpectPictureOfRenderer(const PictureCase& c);

  static std::string HexId(Window window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
  }

  static ServerShell server;
  static std::string displayName;
  static Display* display;
};

ServerShell X11DisplayTest::server;
std::string X11DisplayTest::displayName;
Display* X11DisplayTest::display = nullptr;

// Runs glimra for the case and compares a screenshot with glimra-render's frames.
void X11DisplayTest::ExpectPictureOfRenderer(const PictureCase& c) {
  const std::string ini = TempPath("case.ini");
  std::ofstream(ini, std::ios::binary) << c.iniText;
  const Window window = MakeWindow(c.width, c.height);
  std::vector<std::string> args = c.options;
  std::vector<std::string> environment;
  if (c.target == PictureCase::WindowId) args.insert(args.end(), {"--window-id", HexId(window)});
  if (c.target == PictureCase::WindowIdDecimal)
    args.insert(args.end(), {"-window-id", std::to_string(window)});
  if (c.target == PictureCase::RootWithVariable)
    environment.push_back("XSCREENSAVER_WINDOW=" + HexId(window));
  const std::string countPath = TempPath("shown-pictures");
  for (const std::string& assignment : CountingEnvironment(countPath))
    environment.push_back(assignment);
  const auto start = Clock::now();
  const pid_t pid = StartGlimra(args, environment);
  int width = c.width, height = c.height;
  if (c.resizeWidth) {
    Sleep(300);
    XResizeWindow(display, window, c.resizeWidth, c.resizeHeight);
    XSync(display, False);
    width = c.resizeWidth;
    height = c.resizeHeight;
  }
  Sleep(700);
  const Rgb shot = Screenshot(display, window, width, height);
  // Frames shown by now: at most one per 50 ms since the start, plus a margin.
  const int most = static_cast<int>(Milliseconds(start) / 50) + 10;
  int status = 0;
  EXPECT_FALSE(WaitFor(pid, 0, status))
      << c.what << ": glimra ended early: " << ReadText(TempPath("glimra-stderr.txt"));
  Stop(pid);
  const std::vector<Rgb> frames = RenderedFrames(ini, most);
  ASSERT_EQ(static_cast<int>(frames.size()), most) << c.what;
  const bool stretch =
      std::find(c.options.begin(), c.options.end(), "--stretch") != c.options.end();
  int match = 0;
  for (int k = 0; k < most && match == 0; ++k)
    if (ShowsFrame(shot, width, {0, 0, width, height}, frames[k], stretch)) match = k + 1;
  EXPECT_GT(match, 1) << c.what << ": the picture is none of frames 2.." << most;
  const ShownPictures shown = ReadShownPictures(countPath);
  EXPECT_TRUE(ScaledAsExpected(c.scaledBy, shown))
      << c.what << ": " << shown.scaledCopies << " of the " << shown.calls
      << " pictures shown were scaled by the server, expected "
      << (c.scaledBy == ByServer ? "all" : "none");
  std::fprintf(stderr, "%s: frame %d of at most %d; %llu pictures shown, %llu scaled copies\n",
               c.what, match, most, static_cast<unsigned long long>(shown.calls),
               static_cast<unsigned long long>(shown.scaledCopies));
  XDestroyWindow(display, window);
  XSync(display, False);
}

TEST_F(X11DisplayTest, PictureEqualsTheRenderersFrame) {
  const std::vector<PictureCase> cases = {
      {"defaults, 640x480", {}, "", 640, 480, 0, 0, PictureCase::WindowId, ByServer},
      {"options, decimal id",
       {"--cycle", "7", "--circles", "4", "--palette", "shift", "--tile", "--red-speed", "30"},
       "[Glimra ScreenSaver]\ncycle=7\ncir=0\npal=2\none=0\ndx_r=30\n",
       640,
       480,
       0,
       0,
       PictureCase::WindowIdDecimal,
       ByServer},
      {"--ini file, scaled twice",
       {"--ini", TempPath("case.ini")},
       "[Glimra ScreenSaver]\npal=6\ncir=2\ndx_g=55\ncycle=13\n",
       1280,
       960,
       0,
       0,
       PictureCase::WindowId,
       ByServer},
      {"--root with XSCREENSAVER_WINDOW, half size",
       {"-root", "-palette", "fixed", "-circles", "1"},
       "[Glimra ScreenSaver]\npal=0\ncir=3\n",
       320,
       240,
       0,
       0,
       PictureCase::RootWithVariable,
       ByServer},
      {"resized from 640x480 to 1280x960",
       {"--palette", "water-surface"},
       "[Glimra ScreenSaver]\npal=5\n",
       640,
       480,
       1280,
       960,
       PictureCase::WindowId,
       ByServer},
  };
  for (const PictureCase& c : cases) ExpectPictureOfRenderer(c);
}

// Windows of other shapes: the picture keeps its shape, centred on black, unless stretched.
TEST_F(X11DisplayTest, PictureKeepsItsShapeInAnyWindow) {
  const char* tiled = "[Glimra ScreenSaver]\none=0\n";
  const std::vector<PictureCase> cases = {
      {"800x300, black at the sides", {}, "", 800, 300, 0, 0, PictureCase::WindowId, ByGlimra},
      {"800x300 stretched", {"--stretch"}, "", 800, 300, 0, 0, PictureCase::WindowId, ByGlimra},
      {"1024x768", {}, "", 1024, 768, 0, 0, PictureCase::WindowId, ByGlimra},
      {"1280x720, tiled", {"--tile"}, tiled, 1280, 720, 0, 0, PictureCase::WindowId, ByGlimra},
      {"333x517, black above and below", {}, "", 333, 517, 0, 0, PictureCase::WindowId, ByGlimra},
      {"1366x768 stretched, tiled",
       {"--stretch", "--tile"},
       tiled,
       1366,
       768,
       0,
       0,
       PictureCase::WindowId,
       ByGlimra},
      {"resized from 640x480 to 801x451",
       {},
       "",
       640,
       480,
       801,
       451,
       PictureCase::WindowId,
       EitherWay},
      // Scaled by the server: by nine (not a whole step in its fixed point), by five across and
      // three down, and a tiled frame doubled.
      {"1440x1080", {}, "", 1440, 1080, 0, 0, PictureCase::WindowId, ByServer},
      {"800x360 stretched", {"--stretch"}, "", 800, 360, 0, 0, PictureCase::WindowId, ByServer},
      {"1280x960, tiled", {"--tile"}, tiled, 1280, 960, 0, 0, PictureCase::WindowId, ByServer},
  };
  for (const PictureCase& c : cases) ExpectPictureOfRenderer(c);
}

// A server without MIT-SHM (as a remote one): the same picture, sent with XPutImage.
class X11PlainImageTest : public X11DisplayTest {
 protected:
  static void SetUpTestSuite() { StartServer("MIT-SHM"); }
};

TEST_F(X11PlainImageTest, PictureEqualsTheRenderersFrameWithoutSharedMemory) {
  ExpectPictureOfRenderer({"no MIT-SHM",
                           {"--palette", "autumn-leaves"},
                           "[Glimra ScreenSaver]\npal=3\n",
                           640,
                           480,
                           0,
                           0,
                           PictureCase::WindowId,
                           ByServer});
}

// A server without Render: a size that the server would scale elsewhere, made by glimra itself,
// the same picture.
class X11NoRenderTest : public X11DisplayTest {
 protected:
  static void SetUpTestSuite() { StartServer("RENDER"); }
};

TEST_F(X11NoRenderTest, PictureEqualsTheRenderersFrameWithoutRender) {
  ExpectPictureOfRenderer({"no RENDER, 1280x960",
                           {"--palette", "shift"},
                           "[Glimra ScreenSaver]\npal=2\n",
                           1280,
                           960,
                           0,
                           0,
                           PictureCase::WindowId,
                           ByGlimra});
}

// SIGTERM: the shared image is released and the process ends by that signal. SIGKILL: nothing
// can be released, yet the segment goes with the connection because it was marked for removal.
TEST_F(X11DisplayTest, NoSharedMemoryIsLeftWhenStopped) {
  for (int signal : {SIGTERM, SIGKILL}) {
    const Window window = MakeWindow(640, 480);
    const pid_t pid = StartGlimra({"--window-id", HexId(window)});
    const auto start = Clock::now();
    while (SegmentsCreatedBy(pid) == 0 && Milliseconds(start) < 3000) Sleep(20);
    ASSERT_EQ(SegmentsCreatedBy(pid), 1) << "glimra draws through one shared segment";
    Sleep(200);
    kill(pid, signal);
    int status = 0;
    ASSERT_TRUE(WaitFor(pid, 3000, status)) << strsignal(signal);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal);
    // After a kill the server lets go of the segment when it notices the closed connection.
    const auto gone = Clock::now();
    while (SegmentsCreatedBy(pid) != 0 && Milliseconds(gone) < 3000) Sleep(20);
    EXPECT_EQ(SegmentsCreatedBy(pid), 0) << strsignal(signal);
    XDestroyWindow(display, window);
    XSync(display, False);
  }
}

TEST_F(X11DisplayTest, DestroyedWindowEndsTheProcess) {
  const Window window = MakeWindow(640, 480);
  const pid_t pid = StartGlimra({"--window-id", HexId(window)});
  Sleep(400);
  XDestroyWindow(display, window);
  XSync(display, False);
  int status = 0;
  const bool ended = WaitFor(pid, 3000, status);
  if (!ended) Stop(pid);
  ASSERT_TRUE(ended) << "glimra kept running without its window";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_NE(ReadText(TempPath("glimra-stderr.txt")).find("is gone"), std::string::npos);
}

// What XScreenSaver relies on: --help ends with 0, anything it cannot use with one line and 1.
TEST_F(X11DisplayTest, ExitCodes) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> environment;
    int exitCode;
    const char* mentions;  // in the one line on stderr
  };
  const std::vector<Case> cases = {
      {"help", {"--help"}, {}, 0, ""},
      {"single-dash help", {"-help"}, {}, 0, ""},
      {"value out of range", {"-cycle", "21"}, {}, 1, "--cycle"},
      {"unknown option", {"-bogus"}, {}, 1, "unknown option '-bogus'"},
      {"malformed window id", {"--window-id", "0xzz"}, {}, 1, "--window-id"},
      {"no such window", {"--window-id", "0x3fffffe"}, {}, 1, "there is no window 0x3fffffe"},
      {"malformed XSCREENSAVER_WINDOW",
       {"--root"},
       {"XSCREENSAVER_WINDOW=nope"},
       1,
       "XSCREENSAVER_WINDOW"},
  };
  for (const Case& c : cases) {
    const pid_t pid = StartGlimra(c.args, c.environment);
    int status = 0;
    const bool ended = WaitFor(pid, 3000, status);
    if (!ended) Stop(pid);
    ASSERT_TRUE(ended) << c.what;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << c.what;
    const std::string err = ReadText(TempPath("glimra-stderr.txt"));
    if (c.exitCode == 0) {
      EXPECT_EQ(err, "") << c.what;
    } else {
      EXPECT_EQ(err.rfind("glimra: ", 0), 0u) << c.what << ": " << err;
      EXPECT_EQ(err.find('\n'), err.size() - 1) << c.what << ": one line: " << err;
      EXPECT_NE(err.find(c.mentions), std::string::npos) << c.what << ": " << err;
    }
  }
}

// The window named "Glimra" among the root's children, or 0.
Window FindOwnWindow(Display* display) {
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (unsigned i = 0; i < count; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name) {
      if (std::string(name) == "Glimra") found = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

TEST_F(X11DisplayTest, OwnWindowClosesOnQ) {
  const pid_t pid = StartGlimra({});
  Window own = 0;
  const auto start = Clock::now();
  while ((own = FindOwnWindow(display)) == 0 && Milliseconds(start) < 3000) Sleep(20);
  ASSERT_NE(own, 0u);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, own, &attributes);
  EXPECT_EQ(attributes.width, 640);
  EXPECT_EQ(attributes.height, 480);
  Sleep(200);
  XEvent key{};
  key.xkey.type = KeyPress;
  key.xkey.display = display;
  key.xkey.window = own;
  key.xkey.root = DefaultRootWindow(display);
  key.xkey.keycode = XKeysymToKeycode(display, XK_q);
  key.xkey.same_screen = True;
  XSendEvent(display, own, False, KeyPressMask, &key);
  XSync(display, False);
  int status = 0;
  const bool ended = WaitFor(pid, 3000, status);
  if (!ended) Stop(pid);
  ASSERT_TRUE(ended) << "q did not close the window";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(FindOwnWindow(display), 0u);
}

}  // namespace
