// Scenario tests of the full-screen runs on several monitors, on the recording fake: the covers'
// creation after the display switch, their frames, input on them, the end-of-run order, a cover
// that cannot be made, and covers that follow monitors changed mid-run.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fake_win32/fake_ledger.h"
#include "host/cover_windows.h"
#include "host/saver_state.h"
#include "host_scenario.h"

namespace {

using Calls = std::vector<std::string>;

struct ModeCase {
  const char* keys;
  const char* restoreCall;  // the call that puts the display mode back
};
const ModeCase kModes[] = {{"direct_x=0", "ChangeDisplaySettingsA"},
                           {"direct_x=1", "IDirectDraw::RestoreDisplayMode"}};

// The run's top-level windows while it runs: the saver window and its covers.
struct RunWindows {
  HWND saver = nullptr;
  std::vector<HWND> covers;
};
void CaptureWindows(RunWindows* seen) {
  FakeSchedule([seen] {
    seen->saver = saverWindow;
    seen->covers.assign(coverWindows, coverWindows + coverWindowCount);
  });
}

// The index of the first call of `name` whose first argument is `window`.
int IndexOfCallOn(const std::string& name, HWND window) {
  for (int i = IndexOf(name); i >= 0; i = IndexOf(name, i + 1))
    if (FakeCalls()[i].args.at(0) == FakeHex(window)) return i;
  return -1;
}

TEST(Covers, SecondMonitorIsCoveredFromAfterTheSwitchToTheEnd) {
  for (const ModeCase& mode : kModes) {
    SCOPED_TRACE(mode.keys);
    FreshProcess(mode.keys);
    FakeAddMonitor(1280, 720);
    RunWindows seen;
    CaptureWindows(&seen);
    ScheduleTicks(2, 1);
    FakeSchedule([&seen] { FakePostInputTo(seen.covers.at(0), WM_LBUTTONDOWN); }, 1);
    EXPECT_EQ(RunSaverWith("/s"), 0);
    ASSERT_EQ(seen.covers.size(), 1u);
    HWND cover = seen.covers[0];

    // Made after the saver window, where the switch to 640 x 480 moved the second monitor.
    const std::string made = CallsAmong({"CreateWindowExA"}).at(1);
    EXPECT_EQ(made,
              "CreateWindowExA(0x8000088, Glimra Cover, , 0x80000000, 640, 0, 1280, 720, "
              "0x0, 0x0, 0x400000, 0x0)");
    EXPECT_GT(IndexOf("CreateWindowExA", IndexOf("CreateWindowExA") + 1),
              std::max(IndexOf("SetFocus"), IndexOf("IDirectDraw::SetDisplayMode")));
    EXPECT_EQ(ArgsOf("ShowWindow", 1), (Calls{FakeHex(cover), "4"}));  // without the focus

    // Each paint fits the frame into 1280 x 720: 960 x 720 at 160, bars beside it.
    int paints = 0;
    for (const std::string& call : CallsAmong({"StretchBlt"}))
      paints += call.find(", 160, 0, 960, 720, ") != std::string::npos;
    EXPECT_GE(paints, 2);
    EXPECT_EQ(CountCalls("PatBlt") % 2, 0);

    // The cover goes first, before the display mode comes back; it was never a placement.
    const int destroyed = IndexOfCallOn("DestroyWindow", cover);
    EXPECT_GT(destroyed, IndexOfCallOn("DestroyWindow", seen.saver));
    EXPECT_LT(destroyed, IndexOf(mode.restoreCall, IndexOf("DestroyWindow")));
    EXPECT_EQ(IndexOfCallOn("SetWindowPos", cover), -1);
    EXPECT_FALSE(FakeWindowAlive(cover));
    EXPECT_EQ(FakeLiveResources(), Calls{});
    EXPECT_EQ(FakeBadReleases(), Calls{});
    EXPECT_EQ(FakeCursorCount(), 0);
  }
}

// DirectDraw's frames are not in a DIB: the cover's own timer reads the offscreen surface and the
// palette back into its copy.
TEST(Covers, DirectDrawCoverShowsTheLastFrameAndPalette) {
  FreshProcess("direct_x=1\npal=1");
  FakeAddMonitor(800, 600);
  ScheduleTicks(1, 3);
  ScheduleKey(1);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  const Calls reads = CallsAmong({"IDirectDrawSurface::Lock"});
  int readOnly = 0;
  for (const std::string& call : reads) readOnly += call.find(", 16, 0x0)") != std::string::npos;
  EXPECT_EQ(readOnly, 1);
  const Calls tables = CallsAmong({"SetDIBColorTable"});
  ASSERT_EQ(tables.size(), 1u);
  // 800 x 600 is 4:3 already: the whole monitor, from the copy's DC, no bars.
  const Calls stretched = CallsAmong({"StretchBlt"});
  ASSERT_FALSE(stretched.empty());
  EXPECT_NE(stretched.back().find(", 0, 0, 800, 600, "), std::string::npos);
  EXPECT_EQ(CountCalls("PatBlt"), 0);
  EXPECT_EQ(FakeLiveResources(), Calls{});
}

// Input on a cover counts as input on the saver window: the same rules, one move count.
TEST(Covers, InputOnACoverEndsTheRunByTheSaverRules) {
  struct InputCase {
    const char* what;
    std::vector<UINT> messages;  // to the cover, each with the cursor moved on by one
    bool ends;
  };
  const InputCase cases[] = {
      {"left click", {WM_LBUTTONDOWN}, true},
      {"right click", {WM_RBUTTONDOWN}, true},
      {"key", {WM_KEYDOWN}, true},
      {"middle click", {WM_MBUTTONDOWN}, false},
      {"three moves", {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSEMOVE}, false},
  };
  for (const InputCase& c : cases) {
    SCOPED_TRACE(c.what);
    FreshProcess();
    FakeAddMonitor(1280, 720);
    RunWindows seen;
    CaptureWindows(&seen);
    LONG x = 700;
    for (UINT message : c.messages)
      FakeSchedule([&seen, &x, message] {
        FakeSetCursorPos(x += 10, 100);
        FakePostInputTo(seen.covers.at(0), message);
      });
    // A run that goes on is ended by a key to the saver window.
    bool ended = true;
    FakeSchedule([&ended] {
      ended = false;
      FakePostInput(WM_KEYDOWN, 0x20);
    });
    EXPECT_EQ(RunSaverWith("/s"), 0);
    EXPECT_EQ(ended, c.ends);
  }

  // Two moves on the saver window and two on the cover: the fourth ends the run.
  FreshProcess();
  FakeAddMonitor(1280, 720);
  RunWindows seen;
  CaptureWindows(&seen);
  for (int i = 0; i < 4; ++i)
    FakeSchedule([&seen, i] {
      FakeSetCursorPos(600 + 100 * i, 100);
      FakePostInputTo(i % 2 ? seen.covers.at(0) : seen.saver, WM_MOUSEMOVE);
    });
  // Without the fourth move ending it, the run would wait for ever (a failure here).
  EXPECT_EQ(RunSaverWith("/s"), 0);
  EXPECT_EQ(CountCalls("GetCursorPos"), 5);  // the creation's and one for each move
}

// The covers' places while the run goes on, as "x,y WxH; " each.
std::string CoverPlaces() {
  std::string text;
  for (int i = 0; i < coverWindowCount; ++i) {
    const RECT r = FakeWindowRect(coverWindows[i]);
    text += std::to_string(r.left) + "," + std::to_string(r.top) + " " +
            std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "; ";
  }
  return text;
}

// A monitor changed while the saver runs (at 640 x 480, the others in a row right of it): the
// covers follow once Windows tells (WM_DISPLAYCHANGE) or, where nothing tells, by the next check
// of the monitor list at the tick.
TEST(Covers, CoversFollowMonitorsThatChangeMidRun) {
  struct ChangeCase {
    const char* what;
    std::vector<std::pair<int, int>> monitors;  // the others at the start
    std::function<void()> change;
    const char* covers;  // afterwards
    const char* fitted;  // the picture's place in a cover's paint afterwards
  };
  const ChangeCase cases[] = {
      {"a new mode",
       {{1280, 720}},
       [] { FakeSetMonitorMode(0, 1920, 1080); },
       "640,0 1920x1080; ",
       ", 240, 0, 1440, 1080, "},
      {"moved below the primary",
       {{1280, 720}},
       [] { FakePlaceMonitor(0, 0, 480); },
       "0,480 1280x720; ",
       ", 160, 0, 960, 720, "},
      {"plugged in", {}, [] { FakeAddMonitor(800, 600); }, "640,0 800x600; ", ", 0, 0, 800, 600, "},
      {"the first of two taken away",
       {{1280, 720}, {800, 600}},
       [] { FakeRemoveMonitor(0); },
       "640,0 800x600; ",
       ", 0, 0, 800, 600, "},
      {"the last taken away", {{1280, 720}}, [] { FakeRemoveMonitor(0); }, "", nullptr},
      {"no change", {{1280, 720}, {800, 600}}, [] {}, "640,0 1280x720; 1920,0 800x600; ", nullptr},
  };
  for (const ModeCase& mode : kModes)
    for (bool told : {true, false})
      for (const ChangeCase& c : cases) {
        SCOPED_TRACE(std::string(mode.keys) + (told ? ", told: " : ", at the tick: ") + c.what);
        FreshProcess(mode.keys);
        for (const auto& size : c.monitors) FakeAddMonitor(size.first, size.second);
        std::vector<HWND> before;
        int changedAt = 0;
        std::string after;
        ScheduleTicks(2, 1);
        FakeSchedule([&] {
          before.assign(coverWindows, coverWindows + coverWindowCount);
          changedAt = static_cast<int>(FakeCalls().size());
          c.change();
          if (told) FakeDisplayChanged();
        });
        // One check of the list a second: 20 ticks of 50 ms, painted as they come.
        ScheduleTicks(told ? 1 : kTicksPerMonitorCheck, 1);
        FakeSchedule([&] { after = CoverPlaces(); }, 1);
        ScheduleTicks(1, 1);
        ScheduleKey(1);
        EXPECT_EQ(RunSaverWith("/s"), 0);
        EXPECT_EQ(after, c.covers);

        const Calls made = CallsAmong({"CreateWindowExA"}, changedAt);
        const Calls moved = CallsAmong({"SetWindowPos"}, changedAt);
        if (c.fitted != nullptr) {
          // A cover kept is moved rather than made again; a new one is made without the focus.
          EXPECT_EQ(made.size() + moved.size(), 1u);
          int paints = 0;
          for (const std::string& call : CallsAmong({"StretchBlt"}, changedAt))
            paints += call.find(c.fitted) != std::string::npos;
          EXPECT_GE(paints, 1);
        } else {
          EXPECT_EQ(made, Calls{});
          EXPECT_EQ(moved, Calls{});
        }
        for (const std::string& call : moved) EXPECT_NE(call.find(", 0x10)"), std::string::npos);
        // The saver's own switches (which tell of a change too) made the covers once, after the
        // switch to 640 x 480, and refitted none.
        EXPECT_EQ(CallsAmong({"CreateWindowExA"}).size() - made.size(), 1 + c.monitors.size());
        EXPECT_EQ(CallsAmong({"SetWindowPos"}).size(), moved.size());
        for (HWND cover : before) EXPECT_FALSE(FakeWindowAlive(cover));
        EXPECT_EQ(FakeLiveResources(), Calls{});
        EXPECT_EQ(FakeBadReleases(), Calls{});
      }
}

// The cursor where the run starts may lie outside the 640 x 480 primary (on a second monitor, or
// low on a larger primary): DirectDraw's switch then moves it. That is no move of the user's: three
// moves never end the run, the fourth always does, in every mode and on any number of monitors.
TEST(Covers, ThreeMovesNeverEndTheRunAndTheFourthDoes) {
  struct MoveCase {
    const char* keys;
    bool secondMonitor;  // the moves go to the cover there, else to the saver window
    POINT start;
  };
  const MoveCase cases[] = {
      {"direct_x=1", true, {1500, 300}}, {"direct_x=1", true, {300, 200}},
      {"direct_x=1", false, {900, 700}}, {"direct_x=0", true, {1500, 300}},
      {"direct_x=0", false, {900, 700}},
  };
  for (const MoveCase& c : cases)
    for (int moves : {3, 4}) {
      SCOPED_TRACE(std::string(c.keys) + (c.secondMonitor ? ", two monitors" : ", one monitor") +
                   ", from " + std::to_string(c.start.x) + "," + std::to_string(c.start.y) +
                   ", moves: " + std::to_string(moves));
      FreshProcess(c.keys);
      if (c.secondMonitor) FakeAddMonitor(1280, 720);
      FakeSetCursorPos(c.start.x, c.start.y);
      RunWindows seen;
      CaptureWindows(&seen);
      ScheduleTicks(2, 1);
      for (int i = 0; i < moves; ++i)
        FakeSchedule(
            [&seen, &c, i] {
              FakeSetCursorPos(c.secondMonitor ? 1000 + 100 * i : 100 + 100 * i, 400);
              FakePostInputTo(c.secondMonitor ? seen.covers.at(0) : seen.saver, WM_MOUSEMOVE);
            },
            1);
      bool ended = true;
      FakeSchedule(
          [&ended] {
            ended = false;
            FakePostInput(WM_KEYDOWN, 0x20);
          },
          1);
      EXPECT_EQ(RunSaverWith("/s"), 0);
      EXPECT_EQ(ended, moves == 4);
    }
}

TEST(Covers, ACoverThatCannotBeMadeLeavesTheOthers) {
  FreshProcess();
  FakeAddMonitor(1280, 720);
  FakeAddMonitor(1024, 768);
  ScriptResult("CreateWindowExA", 1);  // the saver window
  ScriptResult("CreateWindowExA", 0);  // the first cover
  RunWindows seen;
  CaptureWindows(&seen);
  ScheduleTicks(1, 1);
  ScheduleKey(1);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  ASSERT_EQ(seen.covers.size(), 1u);
  EXPECT_EQ(ArgsOf("CreateWindowExA", 2).at(4), std::to_string(640 + 1280));
  // The tick repaints the saver window and the one cover.
  EXPECT_EQ(CallsAmong({"InvalidateRect"}).size(), 2u);
  EXPECT_EQ(FakeLiveResources(), Calls{});
}

}  // namespace
