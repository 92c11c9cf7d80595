// glimra-wayland run as a program on a private headless sway (tools/lib/sway.sh): each output
// shows the frame of glimra-render for the same settings, the same frame on all of them, at the
// output's own size and pixels (black bars on a wider output, a scale-2 output at its full
// resolution, an output plugged in mid-run); a button, a key or the fourth new pointer place ends
// it with 0, and its window closes on q and Esc only; SIGTERM and SIGINT leave no shared memory;
// without a display it says so in one line; swayidle starts it after an idle timeout. The
// wallpaper (--background) on every output, also as a locker's plugin, which no input ends. And
// the rule of the buffers' pixel size for any scale, fractional scale and turn.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "display_test_support.h"
#include "small_compositor.h"
#include "wayland/session.h"

namespace {

// What a shell command printed (stdout and stderr).
std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, n);
    pclose(pipe);
  }
  return text;
}

// Whether a shell command (its output dropped) exits with 0.
bool Succeeds(const std::string& command) {
  return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

// A grim picture of all outputs, or of one; false if grim failed.
bool Screenshot(const std::string& output, Rgb& rgb, int& width) {
  const std::string path = TempPath("shot.ppm");
  if (!Succeeds("grim -t ppm " + (output.empty() ? "" : "-o " + output + " ") + "'" + path + "'"))
    return false;
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int height = 0, maximum = 0;
  in >> magic >> width >> height >> maximum;
  in.get();
  rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
  in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  return magic == "P6" && maximum == 255 && in.good();
}

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// The names in a folder.
std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    names.insert(entry.path().filename().string());
  return names;
}

// A sway started by tools/lib/sway.sh: the variables it describes itself with ("NAME=VALUE"
// lines; none when it did not start, and `failure` says why).
struct SwaySession {
  std::vector<std::pair<std::string, std::string>> variables;
  std::string pid, folder, failure;
};

SwaySession StartSway(const std::string& settings, const std::string& outputs) {
  const std::string described = Output("bash -c '" + settings + " && source \"$0\" && sway_start " +
                                       outputs + " && sway_describe' '" + GLIMRA_SWAY_SH + "'");
  SwaySession sway;
  std::istringstream lines(described);
  for (std::string line; std::getline(lines, line);) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    sway.variables.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    if (sway.variables.back().first == "SWAY_PID") sway.pid = sway.variables.back().second;
    if (sway.variables.back().first == "SWAY_DIR") sway.folder = sway.variables.back().second;
  }
  if (sway.pid.empty()) sway.failure = described.empty() ? "no reason given" : described;
  return sway;
}

void StopSway(SwaySession& sway) {
  if (sway.pid.empty()) return;
  Succeeds("bash -c 'source \"$0\" && SWAY_PID=" + sway.pid + " SWAY_DIR=" + sway.folder +
           " && sway_stop' '" + GLIMRA_SWAY_SH + "'");
  sway.pid.clear();
}

// The test's own commands and programs go to this sway.
void UseSway(const SwaySession& sway) {
  for (const auto& [name, value] : sway.variables) setenv(name.c_str(), value.c_str(), 1);
}

class WaylandDisplayTest : public testing::Test {
 protected:
  // One sway for the test process, with two outputs side by side.
  static void SetUpTestSuite() {
    sway = StartSway("true", "1280x960 640x480");
    UseSway(sway);
  }
  static void TearDownTestSuite() { StopSway(sway); }
  void SetUp() override {
    if (!sway.failure.empty()) GTEST_SKIP() << "sway cannot start here: " << sway.failure;
  }

  pid_t StartGlimra(std::vector<std::string> args) {
    args.insert(args.begin(), GLIMRA_WAYLAND);
    return Start(args, {}, TempPath("glimra-stderr.txt"));
  }

  // Waits until sway shows `count` surfaces of glimra's (it maps each at its first picture).
  static bool WaitForCovers(int count, int milliseconds = 5000) {
    const auto start = Clock::now();
    int seen = 0;
    while (Milliseconds(start) < milliseconds) {
      seen = Count(Output("swaymsg -t get_tree -r"), "\"app_id\": \"glimra\"");
      if (seen >= count) return true;
      Sleep(50);
    }
    std::fprintf(stderr,
                 "sway's tree (swaymsg -t get_tree) listed %d of %d views with app_id glimra\n",
                 seen, count);
    return false;
  }

  // Waits until no pixel of the outputs shows sway's background (#FF00FF): the milliseconds it
  // took, or -1.
  static long WaitForPicture(int milliseconds = 3000) {
    const auto start = Clock::now();
    while (Milliseconds(start) < milliseconds) {
      Rgb shot;
      int width = 0;
      bool background = !Screenshot("", shot, width);
      for (std::size_t i = 0; !background && i + 2 < shot.size(); i += 3)
        background = shot[i] == 0xFF && shot[i + 1] == 0 && shot[i + 2] == 0xFF;
      if (!background) return Milliseconds(start);
      Sleep(20);
    }
    return -1;
  }

  // Waits for glimra's surfaces: a window or one per output in the tree, or the wallpaper's
  // picture over both outputs.
  static bool WaitForGlimra(const std::vector<std::string>& options) {
    if (options == std::vector<std::string>{"--background"}) return WaitForPicture() >= 0;
    return WaitForCovers(options.empty() ? 2 : 1);
  }

  std::string Stderr() { return ReadText(TempPath("glimra-stderr.txt")); }

  static SwaySession sway;
};

SwaySession WaylandDisplayTest::sway;

// The number (from 1) of the first of `frames` that the area shows, or 0.
int FrameShown(const Rgb& shot, int shotWidth, const Area& area, const std::vector<Rgb>& frames) {
  for (std::size_t k = 0; k < frames.size(); ++k)
    if (ShowsFrame(shot, shotWidth, area, frames[k], false)) return static_cast<int>(k) + 1;
  return 0;
}

// A picture of `output` ("": all) shows in every area the same frame of glimra-render's for the
// settings `ini`, a later one than the first, of those that could have come since `start` (20 a
// second). grim takes each output as sway next draws it; should a new frame fall between two
// outputs (sway draws them in step, so this was not seen in 60 pictures), a second picture decides.
void ExpectSameFrame(const std::string& what, const std::string& output,
                     const std::vector<Area>& areas, const std::string& ini,
                     Clock::time_point start) {
  std::vector<Rgb> frames;
  std::vector<int> shown;
  for (int attempt = 0; attempt < 2; ++attempt) {
    Rgb shot;
    int width = 0;
    ASSERT_TRUE(Screenshot(output, shot, width)) << what;
    const int most = static_cast<int>(Milliseconds(start) / 50) + 10;
    if (static_cast<int>(frames.size()) < most) frames = RenderedFrames(ini, most);
    ASSERT_EQ(static_cast<int>(frames.size()), most) << what;
    shown.clear();
    for (const Area& a : areas) shown.push_back(FrameShown(shot, width, a, frames));
    if (std::set<int>(shown.begin(), shown.end()).size() == 1) break;
  }
  std::fprintf(stderr, "%s: frame %d of at most %zu\n", what.c_str(), shown.empty() ? 0 : shown[0],
               frames.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_GT(shown[i], 1) << what << ", area " << i << ": none of frames 2.." << frames.size();
    EXPECT_EQ(shown[i], shown[0]) << what << ", area " << i << ": not the first area's frame";
  }
}

struct PictureCase {
  const char* what;
  std::vector<std::string> options;
  const char* iniText;              // the same settings for glimra-render
  int covers;                       // glimra's surfaces once it has started
  std::vector<std::string> during;  // sway commands once it shows its covers
  const char* shotOutput;           // "": all outputs
  std::vector<Area> areas;          // each shows the same frame
  std::vector<std::string> after;   // sway commands after the picture; it carries on
};

TEST_F(WaylandDisplayTest, EveryOutputShowsTheRenderersFrame) {
  const std::string ini = TempPath("case.ini");
  const std::vector<PictureCase> cases = {
      {"defaults, 1280x960 and 640x480",
       {},
       "",
       2,
       {},
       "",
       {{0, 0, 1280, 960}, {1280, 0, 640, 480}},
       {}},
      {"options",
       {"--cycle", "7", "--circles", "4", "--palette", "shift", "--tile", "--red-speed", "30"},
       "[Glimra ScreenSaver]\ncycle=7\ncir=0\npal=2\none=0\ndx_r=30\n",
       2,
       {},
       "",
       {{0, 0, 1280, 960}, {1280, 0, 640, 480}},
       {}},
      {"--ini, the first output turned 1280x720 mid-run: black bars at the sides",
       {"--ini", ini},
       "[Glimra ScreenSaver]\npal=6\ncir=2\ndx_g=55\ncycle=13\n",
       2,
       {"output HEADLESS-1 resolution 1280x720"},
       "",
       {{0, 0, 1280, 720}, {1280, 0, 640, 480}},
       {"output HEADLESS-1 resolution 1280x960"}},
      // Tiled, so that the 960 x 720 picture is no whole enlargement of a 480 x 360 one.
      {"1280x720 at scale 2, tiled: the output's own pixels, not its 640x360 surface enlarged",
       {"--palette", "water-surface", "--tile"},
       "[Glimra ScreenSaver]\npal=5\none=0\n",
       2,
       {"output HEADLESS-1 resolution 1280x720 scale 2"},
       "HEADLESS-1",
       {{0, 0, 1280, 720}},
       {"output HEADLESS-1 resolution 1280x960 scale 1"}},
      {"an output plugged in mid-run",
       {},
       "",
       2,
       {"create_output", "output HEADLESS-3 resolution 800x600"},
       "HEADLESS-3",
       {{0, 0, 800, 600}},
       {}},
  };
  for (const PictureCase& c : cases) {
    std::ofstream(ini, std::ios::binary) << c.iniText;
    const auto start = Clock::now();
    const pid_t pid = StartGlimra(c.options);
    ASSERT_TRUE(WaitForCovers(c.covers)) << c.what << ": " << Stderr();
    for (const std::string& command : c.during)
      EXPECT_TRUE(Succeeds("swaymsg " + command)) << command;
    Sleep(700);
    ExpectSameFrame(c.what, c.shotOutput, c.areas, ini, start);
    for (const std::string& command : c.after)
      EXPECT_TRUE(Succeeds("swaymsg " + command)) << command;
    Sleep(300);
    int status = 0;
    EXPECT_FALSE(WaitFor(pid, 0, status)) << c.what << ": it ended: " << Stderr();
    kill(pid, SIGTERM);
    ASSERT_TRUE(WaitFor(pid, 3000, status)) << c.what;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << c.what;
  }
}

struct InputCase {
  const char* what;
  std::vector<std::string> options;
  std::vector<std::string> harmless;  // commands after which it goes on
  std::string ending;                 // the command after which it ends with 0 ("": none does)
};

TEST_F(WaylandDisplayTest, InputEndsTheRun) {
  // A virtual pointer: the headless seat has none, and without one sway's cursor moves reach no
  // client. It stays for the rest of the test.
  const pid_t vnc = Start({"wayvnc", "-u", TempPath("vnc.sock")}, {}, TempPath("vnc-stderr.txt"));
  const auto start = Clock::now();
  while (Output("swaymsg -t get_seats -r").find("\"pointer\"") == std::string::npos &&
         Milliseconds(start) < 5000)
    Sleep(50);
  if (Output("swaymsg -t get_seats -r").find("\"pointer\"") == std::string::npos) {
    Stop(vnc);
    FAIL() << "swaymsg -t get_seats lists no pointer capability after wayvnc started: "
           << ReadText(TempPath("vnc-stderr.txt"));
  }
  const std::string click =
      "swaymsg seat seat0 cursor press button1 && swaymsg seat seat0 cursor release button1";
  auto moveTo = [](int x, int y) {
    return "swaymsg seat seat0 cursor set " + std::to_string(x) + " " + std::to_string(y);
  };
  const std::vector<InputCase> cases = {
      {"a pointer button", {}, {}, click},
      {"a key", {}, {}, "wtype a"},
      {"the fourth new pointer place",
       {},
       {moveTo(700, 500), moveTo(710, 500), moveTo(710, 510)},
       moveTo(100, 100)},
      {"the window: q",
       {"--window"},
       {"wtype a", click, moveTo(10, 10), moveTo(20, 20), moveTo(30, 30), moveTo(40, 40)},
       "wtype q"},
      {"the window: Esc", {"--window"}, {"wtype -k Return", "wtype x"}, "wtype -k Escape"},
      {"the wallpaper: no input",
       {"--background"},
       {click, "wtype a", moveTo(700, 500), moveTo(710, 500), moveTo(710, 510), moveTo(100, 100)},
       ""},
  };
  for (const InputCase& c : cases) {
    ASSERT_TRUE(Succeeds(moveTo(640, 480)));  // where the pointer is as the surfaces appear
    const pid_t pid = StartGlimra(c.options);
    ASSERT_TRUE(WaitForGlimra(c.options)) << c.what << ": " << Stderr();
    Sleep(200);
    int status = 0;
    for (const std::string& command : c.harmless) {
      EXPECT_TRUE(Succeeds(command)) << command;
      Sleep(100);
    }
    Sleep(300);
    EXPECT_FALSE(WaitFor(pid, 0, status)) << c.what << ": ended before '" << c.ending << "'";
    if (c.ending.empty()) {
      kill(pid, SIGTERM);  // nothing but a signal ends the wallpaper
      EXPECT_TRUE(WaitFor(pid, 3000, status) && WIFSIGNALED(status)) << c.what << Stderr();
      continue;
    }
    EXPECT_TRUE(Succeeds(c.ending)) << c.ending;
    const bool ended = WaitFor(pid, 3000, status);
    if (!ended) Stop(pid);
    EXPECT_TRUE(ended) << c.what << ": still running after '" << c.ending << "'";
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.what << Stderr();
  }
  kill(vnc, SIGTERM);
  int status = 0;
  if (!WaitFor(vnc, 3000, status)) Stop(vnc);
}

// The buffers live in an unnamed memory file: whatever ends the run, nothing is left in
// /dev/shm or the runtime folder, and the signal itself ends the process.
TEST_F(WaylandDisplayTest, StopSignalsLeaveNothingBehind) {
  const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
  for (int signal : {SIGTERM, SIGINT}) {
    const auto shm = Listing("/dev/shm"), folder = Listing(runtime);
    const pid_t pid = StartGlimra({});
    ASSERT_TRUE(WaitForCovers(2)) << Stderr();
    const std::string maps = ReadText("/proc/" + std::to_string(pid) + "/maps");
    EXPECT_NE(maps.find("/memfd:glimra-wayland"), std::string::npos) << "no memfd mapped";
    kill(pid, signal);
    int status = 0;
    ASSERT_TRUE(WaitFor(pid, 3000, status)) << strsignal(signal);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal);
    EXPECT_EQ(Listing("/dev/shm"), shm) << strsignal(signal);
    EXPECT_EQ(Listing(runtime), folder) << strsignal(signal);
  }
}

// A connection to the test's sway, as a locker hands one to its plugin: open across exec.
int ConnectToDisplay() {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path =
      std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + std::getenv("WAYLAND_DISPLAY");
  if (path.size() >= sizeof address.sun_path) return -1;
  path.copy(address.sun_path, path.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// The wallpaper: a layer surface on each output and no window, the same frame on both outputs
// over all of their pixels, promptly, whether started on the desktop's socket or as a locker
// starts its plugin (a connection handed over in WAYLAND_SOCKET, no WAYLAND_DISPLAY). SIGTERM
// ends it and leaves nothing behind.
TEST_F(WaylandDisplayTest, BackgroundCoversEveryOutput) {
  const std::string ini = TempPath("defaults.ini"), runtime = std::getenv("XDG_RUNTIME_DIR");
  std::ofstream(ini, std::ios::binary) << "";
  for (const bool handedOver : {false, true}) {
    const char* what = handedOver ? "--background from WAYLAND_SOCKET" : "--background";
    const auto shm = Listing("/dev/shm"), folder = Listing(runtime);
    std::vector<std::string> environment;
    const int connection = handedOver ? ConnectToDisplay() : -1;
    if (handedOver) {
      ASSERT_GE(connection, 0) << "cannot connect to sway";
      environment = {"WAYLAND_SOCKET=" + std::to_string(connection), "WAYLAND_DISPLAY"};
    }
    const auto start = Clock::now();
    const pid_t pid =
        Start({GLIMRA_WAYLAND, "--background"}, environment, TempPath("glimra-stderr.txt"));
    if (connection >= 0) close(connection);
    const long covered = WaitForPicture();
    ASSERT_GE(covered, 0) << what << ": sway's background still shows: " << Stderr();
    std::fprintf(stderr, "%s: both outputs covered after %ld ms\n", what, covered);
    Sleep(300);
    ExpectSameFrame(what, "", {{0, 0, 1280, 960}, {1280, 0, 640, 480}}, ini, start);
    // No view at all in sway's tree (none of the other tests' programs is left running), read
    // only once the tree is seen to list the outputs: an answer this test no longer understands
    // must not pass as "no view".
    const std::string tree = Output("swaymsg -t get_tree -r");
    ASSERT_GE(Count(tree, "\"type\": \"output\""), 2)
        << what << ": sway's tree lists no outputs, so it cannot tell whether glimra has a view";
    EXPECT_EQ(Count(tree, "\"type\": \"con\"") + Count(tree, "\"type\": \"floating_con\""), 0)
        << what << ": a view in sway's tree";
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_TRUE(WaitFor(pid, 3000, status)) << what;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << what << ": " << Stderr();
    EXPECT_EQ(Stderr(), "") << what;
    EXPECT_EQ(Listing("/dev/shm"), shm) << what;
    EXPECT_EQ(Listing(runtime), folder) << what;
  }
}

// An output taken away mid-run is dropped and the others carry on; one plugged in is covered;
// the same for the wallpaper, whose surface the compositor closes with its output. A headless sway
// cannot take one away, so the outputs are windows of a sway nested in the test's: closing one's
// window there takes it away.
TEST_F(WaylandDisplayTest, OutputsComeAndGo) {
  SwaySession nested = StartSway("SWAY_NESTED=1", "640x480 640x480");
  if (!nested.failure.empty()) GTEST_SKIP() << "no nested sway: " << nested.failure;
  const std::string outer = std::getenv("SWAYSOCK");
  UseSway(nested);
  struct Run {
    std::vector<std::string> options;
    const char* taken;  // the output window closed mid-run
  };
  for (const Run& run : {Run{{}, "WL-2"}, Run{{"--background"}, "WL-1"}}) {
    const std::string what = run.options.empty() ? "fullscreen" : run.options[0];
    const pid_t pid = StartGlimra(run.options);
    EXPECT_TRUE(WaitForGlimra(run.options)) << what << ": " << Stderr();
    EXPECT_TRUE(
        Succeeds("swaymsg -s '" + outer + "' '[title=\"wlroots - " + run.taken + "\"] kill'"));
    Sleep(500);
    int status = 0;
    EXPECT_FALSE(WaitFor(pid, 0, status)) << what << ": it ended with an output: " << Stderr();
    if (run.options.empty()) {
      EXPECT_EQ(Count(Output("swaymsg -t get_tree -r"), "\"app_id\": \"glimra\""), 1);
    }
    EXPECT_TRUE(Succeeds("swaymsg create_output"));
    EXPECT_TRUE(WaitForGlimra(run.options)) << what << ": the new output is not covered";
    kill(pid, SIGTERM);
    EXPECT_TRUE(WaitFor(pid, 3000, status) && WIFSIGNALED(status)) << what << ": " << Stderr();
  }
  StopSway(nested);
  UseSway(sway);
}

// swayidle, as the README's line has it, with a one-second timeout: the saver comes after it and
// a key ends it with 0.
TEST_F(WaylandDisplayTest, IdleDaemonStartsIt) {
  const std::string status = TempPath("status");
  const auto start = Clock::now();
  const pid_t idle = Start({"swayidle", "-w", "timeout", "1",
                            std::string("'") + GLIMRA_WAYLAND + "'; echo $? >'" + status + "'"},
                           {}, TempPath("swayidle-stderr.txt"));
  ASSERT_TRUE(WaitForCovers(2, 8000)) << ReadText(TempPath("swayidle-stderr.txt"));
  EXPECT_GE(Milliseconds(start), 900) << "before the idle timeout";
  // wtype's keyboard is the seat's only one: a pause lets the saver take it before the key.
  EXPECT_TRUE(Succeeds("wtype -s 300 a"));
  const auto typed = Clock::now();
  while (ReadText(status).empty() && Milliseconds(typed) < 3000) Sleep(50);
  EXPECT_EQ(ReadText(status), "0\n");
  kill(idle, SIGTERM);
  int ended = 0;
  if (!WaitFor(idle, 3000, ended)) Stop(idle);
}

// The buffers' pixels for a surface: one buffer pixel for each output pixel wherever the
// compositor allows it.
TEST(WaylandCoverPixelsTest, OneBufferPixelPerOutputPixel) {
  struct Case {
    const char* what;
    int logicalWidth, logicalHeight, modeWidth, modeHeight, transform, scale;
    bool viewporter;
    CoverPixels want;
    int preferredScale = 0;  // the compositor's fractional scale for the surface, in 120ths
  };
  const std::vector<Case> cases = {
      {"scale 1", 1280, 960, 1280, 960, 0, 1, true, {1280, 960, 1, 0, 0}},
      {"scale 2", 640, 360, 1280, 720, 0, 2, true, {1280, 720, 2, 0, 0}},
      {"scale 1.5: the mode's pixels", 853, 640, 1280, 960, 0, 2, true, {1280, 960, 1, 853, 640}},
      {"scale 1.5 without a viewporter", 853, 640, 1280, 960, 0, 2, false, {1706, 1280, 2, 0, 0}},
      {"turned by 90 degrees", 480, 640, 640, 480, 1, 1, true, {480, 640, 1, 0, 0}},
      {"turned, scale 1.5", 640, 853, 1280, 960, 3, 2, true, {960, 1280, 1, 640, 853}},
      {"smaller than the output", 640, 480, 1920, 1080, 0, 1, true, {640, 480, 1, 0, 0}},
      {"a window (no mode)", 500, 300, 0, 0, 0, 2, true, {1000, 600, 2, 0, 0}},
      // Where the compositor tells the surface's fractional scale, the buffer is the logical
      // size times it, rounded half away from zero, and the viewport maps it back.
      {"told 1.5: 1280x960", 853, 640, 1280, 960, 0, 2, true, {1280, 960, 1, 853, 640}, 180},
      {"told 1.75: 1920x1080", 1097, 617, 1920, 1080, 0, 2, true, {1920, 1080, 1, 1097, 617}, 210},
      {"told 1.25", 1024, 768, 1280, 960, 0, 2, true, {1280, 960, 1, 1024, 768}, 150},
      {"told 1.25, halves rounded up", 10, 6, 0, 0, 0, 2, true, {13, 8, 1, 10, 6}, 150},
      {"told 2: the buffer scale", 640, 360, 1280, 720, 0, 2, true, {1280, 720, 2, 0, 0}, 240},
      {"told 1 on a scale-2 output", 640, 480, 1280, 960, 0, 2, true, {640, 480, 1, 0, 0}, 120},
      {"told 1.5, turned", 640, 853, 1280, 960, 1, 2, true, {960, 1280, 1, 640, 853}, 180},
      {"told 1.5, a window", 500, 300, 0, 0, 0, 2, true, {750, 450, 1, 500, 300}, 180},
      {"told 1.5 without a viewporter",
       853,
       640,
       1280,
       960,
       0,
       2,
       false,
       {1706, 1280, 2, 0, 0},
       180},
  };
  for (const Case& c : cases) {
    const CoverPixels got =
        ChooseCoverPixels(c.logicalWidth, c.logicalHeight, c.modeWidth, c.modeHeight, c.transform,
                          c.scale, c.viewporter, c.preferredScale);
    EXPECT_EQ(got.width, c.want.width) << c.what;
    EXPECT_EQ(got.height, c.want.height) << c.what;
    EXPECT_EQ(got.bufferScale, c.want.bufferScale) << c.what;
    EXPECT_EQ(got.viewportWidth, c.want.viewportWidth) << c.what;
    EXPECT_EQ(got.viewportHeight, c.want.viewportHeight) << c.what;
  }
}

// No display, or options it cannot use: one line on stderr and 1; --help: 0.
TEST(WaylandExitCodesTest, OneLineAndExitCode) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> environment;
    int exitCode;
    const char* mentions;
  };
  const std::string empty = TempPath("empty-runtime"), small = TempPath("small-runtime");
  std::filesystem::create_directories(empty);
  std::filesystem::create_directories(small);
  // No shell: what GNOME's compositor is to --background, a locker's connection to the rest.
  const SmallCompositor compositor(small + "/no-shell");
  ASSERT_EQ(compositor.failure, "");
  const std::vector<std::string> noShell = {"XDG_RUNTIME_DIR=" + small, "WAYLAND_DISPLAY=no-shell"};
  const std::vector<Case> cases = {
      {"help", {"--help"}, {}, 0, ""},
      {"value out of range", {"--cycle", "21"}, {}, 1, "--cycle"},
      {"an X11 option", {"--root"}, {}, 1, "unknown option '--root'"},
      {"no compositor",
       {},
       {"XDG_RUNTIME_DIR=" + empty, "WAYLAND_DISPLAY"},
       1,
       "cannot connect to the Wayland display 'wayland-0'"},
      {"no such socket",
       {},
       {"XDG_RUNTIME_DIR=" + empty, "WAYLAND_DISPLAY=nothing-here"},
       1,
       "'nothing-here'"},
      {"no runtime folder", {}, {"XDG_RUNTIME_DIR", "WAYLAND_DISPLAY"}, 1, "XDG_RUNTIME_DIR"},
      {"no xdg-shell", {}, noShell, 1, "offers no xdg-shell"},
      {"no xdg-shell, --window", {"--window"}, noShell, 1, "offers no xdg-shell"},
      {"no layer shell, --background", {"--background"}, noShell, 1, "offers no layer shell"},
      {"both places", {"--window", "--background"}, {}, 1, "cannot be used together"},
      {"a handed-over connection that is none",
       {"--background"},
       {"WAYLAND_SOCKET=999"},
       1,
       "WAYLAND_SOCKET"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), GLIMRA_WAYLAND);
    const pid_t pid = Start(args, c.environment, TempPath("stderr.txt"));
    int status = 0;
    const bool ended = WaitFor(pid, 3000, status);
    if (!ended) Stop(pid);
    ASSERT_TRUE(ended) << c.what;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << c.what;
    const std::string err = ReadText(TempPath("stderr.txt"));
    if (c.exitCode == 0) {
      EXPECT_EQ(err, "") << c.what;
      continue;
    }
    EXPECT_EQ(err.rfind("glimra-wayland: ", 0), 0u) << c.what << ": " << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << c.what << ": one line: " << err;
    EXPECT_NE(err.find(c.mentions), std::string::npos) << c.what << ": " << err;
  }
}

}  // namespace
