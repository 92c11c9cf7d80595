// Scenario tests of what the full-screen modes do for today's Windows: DirectDraw frames paced by
// the display's refresh rate where the flip does not wait, no frames while the display is off, and
// the DPI awareness declared before the first window, in the full-screen modes only.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "fake_win32/fake_ddraw.h"
#include "fake_win32/fake_ledger.h"
#include "fake_win32/fake_system.h"
#include "host/saver_state.h"
#include "host_scenario.h"

namespace {

using Calls = std::vector<std::string>;

// The loop's waits for the next frame, in milliseconds.
std::vector<int> FrameWaits() {
  std::vector<int> waits;
  for (const FakeCall& call : FakeCalls())
    if (call.name == "MsgWaitForMultipleObjectsEx") waits.push_back(std::stoi(call.args.at(1)));
  return waits;
}

// Calls of `name` between two marks in the log.
int CountBetween(const std::string& name, std::size_t from, std::size_t to) {
  int count = 0;
  for (std::size_t i = from; i < to && i < FakeCalls().size(); ++i)
    count += FakeCalls()[i].name == name;
  return count;
}

// ---- The pace

struct PaceCase {
  const char* what;
  DWORD reportedHz;
  long long flipMicros;  // -1: the flip waits out one period, as with a vertical blank
  std::vector<int> firstWaits;
  double expectedHz;
  long long stallMicros = 0;  // the process waits this long for the processor mid-run
};

TEST(DirectDrawPace, FramesKeepTheRefreshRateWhetherTheFlipWaitsOrNot) {
  const PaceCase cases[] = {
      {"flip at once, 60 Hz: the loop waits the rest of each period", 60, 0, {17, 17, 16}, 60},
      {"flip at once, 59 Hz: no whole number of milliseconds", 59, 0, {17, 17, 17}, 59},
      {"flip at once, 75 Hz", 75, 0, {14, 13, 13}, 75},
      {"reported 0: the hardware default, taken as 60 Hz", 0, 0, {17, 17, 16}, 60},
      {"reported 1: the hardware default, taken as 60 Hz", 1, 0, {17, 17, 16}, 60},
      {"a flip of 3 ms at 144 Hz: the rest of the period", 144, 3000, {4, 4, 4}, 144},
      {"a flip that waits at 60 Hz: no extra wait", 60, -1, {}, 60},
      {"a flip that waits at 75 Hz: no extra wait", 75, -1, {}, 75},
      {"a flip slower than the period: no wait, no hurry", 60, 40000, {}, 25},
      {"a 50 ms stall mid-run: the frames catch up", 60, 0, {17, 17, 16}, 60, 50000},
  };
  for (const PaceCase& c : cases) {
    SCOPED_TRACE(c.what);
    FreshProcess("direct_x=1\npal=1");
    FakeSetRefreshRate(c.reportedHz);
    if (c.flipMicros >= 0) FakeSetFlipMicros(c.flipMicros);
    if (c.stallMicros > 0) FakeSchedule([&c] { FakeAdvanceClock(c.stallMicros); }, 300);
    ScheduleKey(c.stallMicros > 0 ? 300 : 600);
    EXPECT_EQ(RunSaverWith("/s"), 0);

    const std::vector<int> waits = FrameWaits();
    if (c.firstWaits.empty()) {
      EXPECT_EQ(waits, std::vector<int>{});
    } else {
      ASSERT_GE(waits.size(), c.firstWaits.size());
      EXPECT_EQ(std::vector<int>(waits.begin(), waits.begin() + c.firstWaits.size()), c.firstWaits);
      // The wait wakes for any input, queued before it began or not.
      EXPECT_EQ(ArgsOf("MsgWaitForMultipleObjectsEx"),
                (Calls{"0", ArgsOf("MsgWaitForMultipleObjectsEx")[1], "0x4ff", "0x4"}));
    }
    // The long-run rate, from the frames made and the time they took.
    const int frames = CountCalls("IDirectDrawSurface::Flip");
    ASSERT_GT(frames, 100);
    const double hz = frames / (FakeClockMicros() / 1e6);
    EXPECT_NEAR(hz, c.expectedHz, c.expectedHz * 0.005);
  }
}

TEST(DirectDrawPace, RateAndTimerResolutionBelongToTheRun) {
  FreshProcess("direct_x=1");
  ScheduleKey(3);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  // The refresh rate of the mode DirectDraw set, and 1 ms resolution from then to the end of run.
  EXPECT_EQ(CallsAmong({"EnumDisplaySettingsA", "timeBeginPeriod", "timeEndPeriod"}),
            (Calls{"EnumDisplaySettingsA(null, 0xffffffff, 156)", "timeBeginPeriod(1)",
                   "timeEndPeriod(1)"}));
  EXPECT_LT(IndexOf("IDirectDraw::SetDisplayMode"), IndexOf("EnumDisplaySettingsA"));
  EXPECT_LT(IndexOf("timeBeginPeriod"), IndexOf("IDirectDrawSurface::Lock"));
  EXPECT_LT(IndexOf("IDirectDraw::Release"), IndexOf("timeEndPeriod"));
  EXPECT_LT(IndexOf("timeEndPeriod"), IndexOf("KillTimer"));
  // The GDI modes keep their timer and ask for no resolution.
  for (const char* tail : {"/s", "/p 1234"}) {
    FreshProcess("direct_x=0");
    HWND host = AddPreviewHost(152, 112);
    ScheduleTicks(2);
    FakeSchedule([host] { FakeDestroyFromOutside(host); });
    ScheduleKey();
    const std::string fullTail = std::string(tail) == "/s" ? tail : "/p " + HandleText(host);
    EXPECT_EQ(RunSaverWith(fullTail), 0);
    EXPECT_EQ(CountCalls("timeBeginPeriod"), 0) << tail;
  }
}

// ---- The dark display

struct PowerCase {
  const char* what;
  const char* keys;
  bool preview;
  DWORD afterOff;         // the state that ends the dark spell (1 on, 2 dimmed)
  const char* frameCall;  // one call per frame
  bool idleWhileOff;
};

TEST(DarkDisplay, NoFramesWhileOffThenFramesAgain) {
  const PowerCase cases[] = {
      {"GDI full screen, then on", "direct_x=0", false, 1, "InvalidateRect", true},
      {"GDI full screen, then dimmed", "direct_x=0", false, 2, "InvalidateRect", true},
      {"DirectDraw, then on", "direct_x=1", false, 1, "IDirectDrawSurface::Flip", true},
      {"DirectDraw, then dimmed", "direct_x=1", false, 2, "IDirectDrawSurface::Flip", true},
      {"the preview does not ask", "direct_x=0", true, 1, "InvalidateRect", false},
  };
  for (const PowerCase& c : cases) {
    SCOPED_TRACE(c.what);
    FreshProcess(std::string(c.keys) + "\npal=1");
    std::string tail = "/s";
    HWND host = nullptr;
    if (c.preview) {
      host = AddPreviewHost(152, 112);
      tail = "/p " + HandleText(host);
    }
    std::size_t off = 0, on = 0;
    // Frames (ticks in the GDI modes, idle polls in DirectDraw), the display off, as many ticks
    // and polls again, the display back, frames, the end.
    ScheduleTicks(2, 2);
    FakeSchedule([&off] {
      FakeSetDisplayPower(0);
      off = FakeCalls().size();
    });
    ScheduleTicks(3, 3);
    FakeSchedule([&on, &c] {
      on = FakeCalls().size();
      FakeSetDisplayPower(c.afterOff);
    });
    ScheduleTicks(2, 2);
    if (c.preview)
      FakeSchedule([host] { FakeDestroyFromOutside(host); });
    else
      ScheduleKey();
    EXPECT_EQ(RunSaverWith(tail), 0);

    ASSERT_GT(on, off);
    EXPECT_GT(CountBetween(c.frameCall, 0, off), 0);
    if (c.idleWhileOff) {
      EXPECT_EQ(CountBetween(c.frameCall, off, on), 0);
      EXPECT_EQ(CountBetween("BeginPaint", off, on), 0);
    } else {
      EXPECT_GT(CountBetween(c.frameCall, off, on), 0);
    }
    EXPECT_GT(CountBetween(c.frameCall, on, FakeCalls().size()), 0);
    // Asked for in the full-screen modes only, and given back in the end of run.
    EXPECT_EQ(CountCalls("RegisterPowerSettingNotification"), c.preview ? 0 : 1);
    EXPECT_EQ(CountCalls("UnregisterPowerSettingNotification"), c.preview ? 0 : 1);
    EXPECT_EQ(FakePowerRegistrations(), 0);
  }
}

TEST(DarkDisplay, RegisteredForTheSaverWindowAndGivenBackBeforeTheTimer) {
  FreshProcess("direct_x=0");
  ScheduleKey();
  EXPECT_EQ(RunSaverWith("/s"), 0);
  const std::string window = FakeHex(FakeCreatedWindow());
  EXPECT_EQ(CallsAmong({"RegisterPowerSettingNotification", "UnregisterPowerSettingNotification"}),
            (Calls{"RegisterPowerSettingNotification(" + window + ", console display state, 0x0)",
                   "UnregisterPowerSettingNotification(" + window + ")"}));
  EXPECT_LT(IndexOf("ShowWindow"), IndexOf("RegisterPowerSettingNotification"));
  EXPECT_LT(IndexOf("UnregisterPowerSettingNotification"), IndexOf("KillTimer"));
}

// ---- DPI awareness

// Space-separated words, as a list.
std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

struct AwarenessCase {
  const char* what;
  const char* keys;
  const char* tail;      // "/p" gets a host window
  const char* missing;   // procedures and modules the system lacks
  const char* scripted;  // a procedure that answers `result`, or ""
  std::int64_t result;
  const char* declared;  // the declarations made, in order
};

TEST(DpiAwareness, NewestDeclarationBeforeTheFirstWindowInFullScreenOnly) {
  const std::int64_t kFail = static_cast<std::int32_t>(0x80004005);
  const std::int64_t kDenied = static_cast<std::int32_t>(0x80070005);
  const char* kV2 = "SetProcessDpiAwarenessContext(-4)";
  const char* kShcore = "SetProcessDpiAwareness(2)";
  const AwarenessCase cases[] = {
      {"GDI full screen: per-monitor V2", "direct_x=0", "/s", "", "", 0, kV2},
      {"DirectDraw: per-monitor V2", "direct_x=1", "/s", "", "", 0, kV2},
      {"V2 refused (Windows 10 before 1703): shcore per monitor", "direct_x=0", "/s", "",
       "SetProcessDpiAwarenessContext", 0,
       "SetProcessDpiAwarenessContext(-4) SetProcessDpiAwareness(2)"},
      {"no context call (Windows 8.1): shcore per monitor", "direct_x=0", "/s",
       "SetProcessDpiAwarenessContext", "", 0, kShcore},
      {"shcore says already declared: nothing more", "direct_x=0", "/s",
       "SetProcessDpiAwarenessContext", "SetProcessDpiAwareness", kDenied, kShcore},
      {"shcore fails: system awareness", "direct_x=0", "/s", "SetProcessDpiAwarenessContext",
       "SetProcessDpiAwareness", kFail, "SetProcessDpiAwareness(2) SetProcessDPIAware()"},
      {"no shcore (Windows Vista, 7): system awareness", "direct_x=0", "/s",
       "SetProcessDpiAwarenessContext shcore.dll", "", 0, "SetProcessDPIAware()"},
      {"none of them (Windows XP): the run goes on", "direct_x=0", "/s",
       "SetProcessDpiAwarenessContext shcore.dll SetProcessDPIAware", "", 0, ""},
      {"preview: never", "direct_x=0", "/p", "", "", 0, ""},
      {"configuration: never", "direct_x=0", "/c", "", "", 0, ""},
  };
  for (const AwarenessCase& c : cases) {
    SCOPED_TRACE(c.what);
    FreshProcess(c.keys);
    for (const std::string& name : Words(c.missing)) FakeMissingProcedure(name);
    if (*c.scripted) ScriptResult(c.scripted, c.result);
    std::string tail = c.tail;
    if (tail == "/p") {
      HWND host = AddPreviewHost(152, 112);
      tail += " " + HandleText(host);
      FakeSchedule([host] { FakeDestroyFromOutside(host); });
    } else {
      ScheduleKey();
    }
    EXPECT_EQ(RunSaverWith(tail), 0);
    const Calls declared = CallsAmong(
        {"SetProcessDpiAwarenessContext", "SetProcessDpiAwareness", "SetProcessDPIAware"});
    EXPECT_EQ(declared, Words(c.declared));
    if (!declared.empty()) {
      // Before the placements are read and before the first window.
      const int last = IndexOf(declared.back().substr(0, declared.back().find('(')));
      EXPECT_LT(last, IndexOf("EnumWindows"));
      EXPECT_LT(last, IndexOf("CreateWindowExA"));
    }
    EXPECT_EQ(FakeLiveResources(), Calls{}) << "shcore is given back";
  }
}

}  // namespace
