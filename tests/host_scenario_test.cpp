// Scenario tests of the saver host and the GDI back-end on the recording fake: the start-up order
// per mode, the failure paths, the window procedure's message table, the movement rule, the frames
// and paints, the end-of-run order, the message loop's waiting, and the placement list's rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/display_resources.h"
#include "engine/compose.h"
#include "engine/palette.h"
#include "fake_win32/fake_gdi.h"
#include "host/saver_state.h"
#include "host/saver_window.h"
#include "host/window_placement.h"
#include "host_scenario.h"
#include "settings/saver_settings.h"

namespace {

using Calls = std::vector<std::string>;

// Ends the run the way a user does in full screen, or the way a host does for the preview.
void ScheduleKey(int idlePolls = 0) {
  FakeSchedule([] { FakePostInput(WM_KEYDOWN, 0x20); }, idlePolls);
}
void ScheduleTicks(int ticks, int idlePolls = 0) {
  for (int i = 0; i < ticks; ++i) FakeSchedule(FakeTimerTick, idlePolls);
}

const Calls kStartUpNames = {"CreateMutexA",     "GetLastError",       "EnumWindows",
                             "RegisterClassA",   "DialogBoxParamA",    "ChangeDisplaySettingsA",
                             "GlobalAlloc",      "CreateWindowExA",    "SetTimer",
                             "CreateDIBSection", "CreateCompatibleDC", "SelectObject",
                             "ShowWindow",       "UpdateWindow",       "SetFocus",
                             "ShowCursor",       "SetDIBColorTable",   "PeekMessageA"};

// ---- Start-up

TEST(StartUp, GdiFullScreenOrder) {
  FreshProcess("direct_x=0");
  // The back-end's records as the run has them (its end clears them).
  DisplayResources during;
  FakeSchedule([&during] { during = displayResources; });
  ScheduleKey();
  EXPECT_EQ(RunSaverWith("/s"), 0);
  Calls calls = CallsAmong(kStartUpNames);
  calls.resize(std::min<std::size_t>(calls.size(), 20));
  const Calls expected = {
      "CreateMutexA(0x0, 0, Glimra ScreenSaver)",
      "GetLastError()",
      "EnumWindows(0)",
      "GlobalAlloc(0x0, 0)",
      "GlobalAlloc(0x0, 0)",
      "EnumWindows(1)",
      "RegisterClassA(Glimra, 0x3, 0x400000, 0x1c0, 0x0, 0x5704, 0, 0, null)",
      "ChangeDisplaySettingsA(size=156 fields=0x180000 640x480 bpp=0, 0)",
      "GlobalAlloc(0x40, 1064)",
      "CreateWindowExA(0x8, Glimra, Glimra, 0x80000000, 0, 0, 640, 480, 0x0, 0x0, 0x400000, 0x0)",
      "SetTimer(" + ArgsOf("SetTimer")[0] + ", 1, 50, 0x0)",
      "CreateDIBSection(0xdc1, size=40 640x480 planes=1 bits=8 compression=0 image=0 used=0, 0, "
      "0x0, 0)",
      "CreateCompatibleDC(0xdc1)",
      "SelectObject(" + ArgsOf("SelectObject")[0] + ", " + ArgsOf("SelectObject")[1] + ")",
      "ShowWindow(" + ArgsOf("ShowWindow")[0] + ", 1)",
      "UpdateWindow(" + ArgsOf("ShowWindow")[0] + ")",
      "SetFocus(" + ArgsOf("ShowWindow")[0] + ")",
      "ShowCursor(0)",
      "SetDIBColorTable(" + ArgsOf("SelectObject")[0] + ", 0, 256, " +
          FakeHex(reinterpret_cast<std::uintptr_t>(during.colorTable)) + ")",
      "PeekMessageA(0x0, 0, 0, 0)",
  };
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(ArgsOf("LoadIconA"), (Calls{"0x400000", "103"}));
  EXPECT_EQ(ArgsOf("GetStockObject"), (Calls{"4"}));
  // The DIB section is selected into the memory DC it was made for.
  EXPECT_EQ(ArgsOf("SelectObject")[1],
            FakeHex(reinterpret_cast<std::uintptr_t>(during.dibSection)));
  // The speeds are scaled at the very end of the set-up.
  EXPECT_DOUBLE_EQ(saverSettings.dx_r, 0.05);
}

TEST(StartUp, PreviewOrderAndWindow) {
  FreshProcess();
  HWND host = AddPreviewHost(152, 112);
  FakeSchedule([host] { FakeDestroyFromOutside(host); });
  EXPECT_EQ(RunSaverWith("/p " + HandleText(host)), 0);
  const Calls expected = {
      "CreateMutexA(0x0, 0, Glimra ScreenSaver)",
      "GetLastError()",
      "RegisterClassA(Glimra, 0x3, 0x400000, 0x1c0, 0x0, 0x5704, 0, 0, null)",
      "GlobalAlloc(0x40, 1064)",
      "CreateWindowExA(0x0, Glimra, , 0x40000000, 0, 0, 152, 112, " +
          FakeHex(reinterpret_cast<std::uintptr_t>(host)) + ", 0x0, 0x400000, 0x0)",
  };
  Calls calls = CallsAmong(kStartUpNames);
  calls.resize(expected.size());
  EXPECT_EQ(calls, expected);
  // The preview never hides the cursor, changes the display or records placements.
  EXPECT_EQ(CallsAmong({"ShowCursor"}), (Calls{"ShowCursor(1)"}));
  EXPECT_EQ(CountCalls("ChangeDisplaySettingsA"), 0);
  EXPECT_EQ(CountCalls("EnumWindows"), 0);
  EXPECT_EQ(ArgsOf("GetClientRect")[0], FakeHex(reinterpret_cast<std::uintptr_t>(host)));
}

TEST(StartUp, ConfigureRunsOnlyTheDialog) {
  for (const char* tail : {"", "/c", "/c:1234", "/a 1234", "/xs"}) {
    SCOPED_TRACE(tail);
    FreshProcess("direct_x=1");
    EXPECT_EQ(RunSaverWith(tail), 0);
    EXPECT_EQ(CallsAmong({"CreateMutexA", "GetLastError", "DialogBoxParamA", "RegisterClassA",
                          "CreateWindowExA", "EnumWindows", "PeekMessageA"}),
              (Calls{"CreateMutexA(0x0, 0, Glimra ScreenSaver)", "GetLastError()",
                     "DialogBoxParamA(0x400000, 101, 0x0, proc, 0)"}));
    // The speeds stay whole numbers for the dialog.
    EXPECT_DOUBLE_EQ(saverSettings.dx_r, 5);
  }
}

TEST(StartUp, DirectXSettingChoosesTheFullScreenBackEnd) {
  // Settings are read before the mode is chosen: direct_x from the file decides.
  FreshProcess("direct_x=1");
  ScheduleKey(1);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  EXPECT_EQ(currentMode, ModeDirectDraw);
  EXPECT_EQ(CountCalls("ChangeDisplaySettingsA"), 0);
  EXPECT_EQ(CountCalls("EnumWindows"), 2);
  // The window is sized from the screen as it was: DirectDraw changes the display later.
  EXPECT_EQ(ArgsOf("CreateWindowExA")[6], "1024");
  EXPECT_EQ(ArgsOf("CreateWindowExA")[7], "768");
}

// ---- Failure paths

TEST(FailurePaths, SecondInstanceEndsAtOnceWithoutReadingSettings) {
  for (const char* tail : {"/s", "/p 1234", "/c", ""}) {
    SCOPED_TRACE(tail);
    FreshProcess("direct_x=1\npal=4\ncir=2");
    ScriptResult("GetLastError", ERROR_ALREADY_EXISTS);
    EXPECT_EQ(RunSaverWith(tail), 0);
    EXPECT_EQ(FakeCallNames(), (Calls{"CreateMutexA", "GetLastError"}));
    EXPECT_EQ(saverSettings.direct_x, 0);
    EXPECT_EQ(saverSettings.pal, 1);
  }
}

TEST(FailurePaths, WindowCreationFailingUndoesTheStart) {
  struct Case {
    const char* tail;
    const char* keys;
    Calls undo;  // display, memory and placement calls after the failed creation
  };
  const Case cases[] = {
      {"/s",
       "direct_x=0",
       {"ChangeDisplaySettingsA(null, 0)", "Sleep(100)", "GlobalFree", "SetWindowPos", "GlobalFree",
        "GlobalFree"}},
      {"/s", "direct_x=1", {"GlobalFree", "GlobalFree"}},
      {"/p 70000", "", {"GlobalFree"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tail) + " " + c.keys);
    FreshProcess(c.keys);
    HWND other = FakeAddWindow(WS_CAPTION, RECT{10, 20, 310, 220});
    ScriptResult("CreateWindowExA", 0);
    EXPECT_EQ(RunSaverWith(c.tail), 0);
    const int failed = IndexOf("CreateWindowExA");
    ASSERT_GE(failed, 0);
    Calls after;
    for (std::size_t i = failed + 1; i < FakeCalls().size(); ++i) {
      const FakeCall& call = FakeCalls()[i];
      if (call.name == "ChangeDisplaySettingsA" || call.name == "Sleep")
        after.push_back(call.name + "(" + call.args[0] +
                        (call.args.size() > 1 ? ", " + call.args[1] : "") + ")");
      else if (call.name == "GlobalFree" || call.name == "SetWindowPos")
        after.push_back(call.name);
    }
    EXPECT_EQ(after, c.undo);
    EXPECT_EQ(FakeLiveGlobalBlocks(), 0u);
    EXPECT_EQ(FakeScreenWidth(), 1024);
    EXPECT_EQ(CountCalls("PeekMessageA"), 0);
    EXPECT_EQ(FakeWindowRect(other).left, 10);
  }
}

TEST(FailurePaths, PreviewWithoutParentMakesNoWindow) {
  for (const char* tail : {"p", "/p", "P"}) {
    SCOPED_TRACE(tail);
    FreshProcess();
    EXPECT_EQ(RunSaverWith(tail), 0);
    EXPECT_EQ(CountCalls("CreateWindowExA"), 0);
    EXPECT_EQ(CountCalls("GetClientRect"), 0);
    EXPECT_EQ(FakeLiveGlobalBlocks(), 0u);
  }
}

TEST(FailurePaths, LongTailActsLikeItsFirstTwoCharacters) {
  FreshProcess();
  ScheduleKey();
  EXPECT_EQ(RunSaverWith("/s" + std::string(298, 'x')), 0);
  EXPECT_EQ(currentMode, ModeGdiFullScreen);
  FreshProcess();
  EXPECT_EQ(RunSaverWith("/c" + std::string(298, 's')), 0);
  EXPECT_EQ(CountCalls("DialogBoxParamA"), 1);
}

// ---- Window procedure

struct MessageCase {
  const char* tail;
  UINT message;
  bool ends;       // the window is destroyed by this message
  bool toDefault;  // the message goes to DefWindowProcA
};

// Runs one mode with one message posted, then closes the window from outside if it still lives.
void RunWithMessage(const MessageCase& c, HWND host) {
  FakeSchedule([&c] { FakePostInput(c.message); });
  FakeSchedule([host] {
    if (!FakeWindowAlive(FakeCreatedWindow())) return;
    if (host != nullptr)
      FakeDestroyFromOutside(host);
    else
      FakePostInput(WM_CLOSE);
  });
  EXPECT_EQ(RunSaverWith(c.tail), 0);
}

TEST(SaverWindowProc, MessageTablePerMode) {
  const MessageCase cases[] = {
      {"/s", WM_KEYDOWN, true, false},      {"/s", WM_LBUTTONDOWN, true, false},
      {"/s", WM_RBUTTONDOWN, true, false},  {"/s", WM_MBUTTONDOWN, false, true},
      {"/s", WM_SYSKEYDOWN, false, true},   {"/s", WM_CLOSE, true, true},
      {"/s", WM_TIMER, false, false},       {"/p", WM_KEYDOWN, false, false},
      {"/p", WM_LBUTTONDOWN, false, false}, {"/p", WM_RBUTTONDOWN, false, false},
      {"/p", WM_MOUSEMOVE, false, false},   {"/p", WM_MBUTTONDOWN, false, true},
      {"/p", WM_CLOSE, true, true},         {"/p", WM_TIMER, false, false},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(std::string(c.tail) + " message " + FakeHex(c.message));
    FreshProcess();
    HWND host = nullptr;
    std::string tail = c.tail;
    if (tail == "/p") {
      host = AddPreviewHost(152, 112);
      tail += " " + HandleText(host);
    }
    MessageCase run = c;
    run.tail = tail.c_str();
    RunWithMessage(run, host);
    const int dispatched = IndexOf("DispatchMessageA", 0);
    int at = dispatched;
    while (at >= 0 && FakeCalls()[at].args[1] != FakeHex(c.message))
      at = IndexOf("DispatchMessageA", at + 1);
    ASSERT_GE(at, 0);
    const int next = IndexOf("PeekMessageA", at + 1);
    const int end = next < 0 ? static_cast<int>(FakeCalls().size()) : next;
    bool destroyed = false;
    bool defaulted = false;
    for (int i = at + 1; i < end; ++i) {
      const FakeCall& call = FakeCalls()[i];
      destroyed |= call.name == "DestroyWindow" || call.name == "PostQuitMessage";
      defaulted |= call.name == "DefWindowProcA" && call.args[1] == FakeHex(c.message);
    }
    EXPECT_EQ(destroyed, c.ends);
    EXPECT_EQ(defaulted, c.toDefault);
  }
}

// Cursor positions met by successive mouse-move messages; the index of the message that ends the
// run, or -1.
struct MoveCase {
  std::vector<POINT> positions;
  int endsAt;
};

TEST(SaverWindowProc, MovementRule) {
  const MoveCase cases[] = {
      {{{1, 1}, {2, 2}, {3, 3}, {4, 4}}, 3},
      {{{1, 1}, {2, 2}, {3, 3}, {3, 3}, {5, 5}}, -1},
      {{{100, 100}, {1, 1}, {2, 2}, {3, 3}}, -1},  // the first compares with the creation place
      {{{1, 1}, {2, 2}, {3, 3}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}}, 7},
  };
  for (const MoveCase& c : cases) {
    FreshProcess();
    int delivered = 0;
    for (const POINT& p : c.positions)
      FakeSchedule([p, &delivered] {
        if (!FakeWindowAlive(FakeCreatedWindow())) return;
        ++delivered;
        FakeSetCursorPos(p.x, p.y);
        // lParam holds a position the procedure must not use.
        FakePostInput(WM_MOUSEMOVE, 0, MAKELPARAM(999, 999));
      });
    FakeSchedule([] {
      if (FakeWindowAlive(FakeCreatedWindow())) FakePostInput(WM_CLOSE);
    });
    EXPECT_EQ(RunSaverWith("/s"), 0);
    const int expected = c.endsAt < 0 ? static_cast<int>(c.positions.size()) : c.endsAt + 1;
    EXPECT_EQ(delivered, expected);
    EXPECT_EQ(CountCalls("DefWindowProcA") > 0, c.endsAt < 0);  // only WM_CLOSE goes there
  }
}

TEST(SaverWindowProc, PreviewLeavesTheMoveCountAlone) {
  FreshProcess();
  HWND host = AddPreviewHost(152, 112);
  for (int i = 1; i <= 5; ++i)
    FakeSchedule([i] {
      FakeSetCursorPos(i * 10, i * 10);
      FakePostInput(WM_MOUSEMOVE);
    });
  FakeSchedule([host] { FakeDestroyFromOutside(host); });
  EXPECT_EQ(RunSaverWith("/p " + HandleText(host)), 0);
  EXPECT_EQ(mouseMoveCount, 0);
  EXPECT_EQ(CountCalls("GetCursorPos"), 1);  // at creation only
}

// ---- Frames and paints

TEST(GdiFrames, TimerStepsComposesAndRepaints) {
  struct Case {
    const char* keys;
    int colourTableCalls;  // per tick
  };
  for (const Case& c : {Case{"pal=1", 1}, Case{"pal=0", 0}, Case{"pal=2", 1}}) {
    SCOPED_TRACE(c.keys);
    FreshProcess(c.keys);
    ScheduleTicks(3);
    ScheduleKey();
    EXPECT_EQ(RunSaverWith("/s"), 0);
    // First palette once, then one hand-over per tick.
    EXPECT_EQ(CountCalls("SetDIBColorTable"), 1 + 3 * c.colourTableCalls);
    EXPECT_EQ(ringPhase, 15u);  // three frames composed
    EXPECT_EQ(CallsAmong({"InvalidateRect"}).size(), 3u);
    EXPECT_EQ(ArgsOf("InvalidateRect")[1], "null");
    EXPECT_EQ(ArgsOf("InvalidateRect")[2], "0");
    // The first paint comes from UpdateWindow, then one per tick.
    EXPECT_EQ(CountCalls("BitBlt"), 4);
  }
}

TEST(GdiFrames, PaintCopiesOneToOneOrStretched) {
  FreshProcess();
  ScheduleTicks(1);
  ScheduleKey();
  EXPECT_EQ(RunSaverWith("/s"), 0);
  const std::string memoryDc = ArgsOf("SelectObject")[0];
  EXPECT_EQ(ArgsOf("BitBlt", 1),
            (Calls{"0xdc0", "0", "0", "640", "480", memoryDc, "0", "0", "0xcc0020"}));

  FreshProcess();
  HWND host = AddPreviewHost(152, 112);
  ScheduleTicks(1);
  FakeSchedule([host] { FakeDestroyFromOutside(host); });
  EXPECT_EQ(RunSaverWith("/p " + HandleText(host)), 0);
  EXPECT_EQ(ArgsOf("StretchBlt", 1),
            (Calls{"0xdc0", "0", "0", "152", "112", ArgsOf("SelectObject")[0], "0", "0", "640",
                   "480", "0xcc0020"}));
  EXPECT_EQ(CountCalls("BitBlt"), 0);
}

// Where the display stays at its own size, the frame is stretched into the largest centred 4:3
// rectangle and only the bars beside it are painted black.
TEST(GdiFrames, ScreenThatDidNotSwitchShowsTheWholeFrame) {
  struct Case {
    int width, height;
    Calls stretch;  // destination x, y, width, height
    std::vector<Calls> bars;
  };
  const Case cases[] = {
      {1024, 768, {"0", "0", "1024", "768"}, {}},
      {1280,
       720,
       {"160", "0", "960", "720"},
       {{"0", "0", "160", "720"}, {"1120", "0", "160", "720"}}},
      {1366,
       768,
       {"171", "0", "1024", "768"},
       {{"0", "0", "171", "768"}, {"1195", "0", "171", "768"}}},
      {600,
       800,
       {"0", "175", "600", "450"},
       {{"0", "0", "600", "175"}, {"0", "625", "600", "175"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    FreshProcess();
    FakeSetScreenSize(c.width, c.height);
    ScriptResult("ChangeDisplaySettingsA", -2);  // DISP_CHANGE_BADMODE
    ScheduleTicks(1);
    ScheduleKey();
    EXPECT_EQ(RunSaverWith("/s"), 0);
    const std::string memoryDc = ArgsOf("SelectObject")[0];
    const int paint = IndexOf("BeginPaint", IndexOf("InvalidateRect"));
    Calls stretch = {"0xdc0"};
    stretch.insert(stretch.end(), c.stretch.begin(), c.stretch.end());
    stretch.insert(stretch.end(), {memoryDc, "0", "0", "640", "480", "0xcc0020"});
    EXPECT_EQ(ArgsOf("StretchBlt", 1), stretch);
    EXPECT_EQ(CountCalls("BitBlt"), 0);
    EXPECT_EQ(CallsAmong({"SetStretchBltMode"}, paint), (Calls{"SetStretchBltMode(0xdc0, 3)"}));
    Calls bars;
    for (const Calls& bar : c.bars)
      bars.push_back("PatBlt(0xdc0, " + bar[0] + ", " + bar[1] + ", " + bar[2] + ", " + bar[3] +
                     ", 0x42)");
    EXPECT_EQ(CallsAmong({"PatBlt"}, paint), bars);
  }
}

TEST(GdiFrames, FirstPaintIsBlackThenTheFirstPaletteIsLoaded) {
  FreshProcess("pal=0");
  std::vector<RGBQUAD> atStart;
  FakeSchedule([&atStart] { atStart = FakeDibColours(displayResources.memoryDc); });
  ScheduleKey();
  EXPECT_EQ(RunSaverWith("/s"), 0);
  // The first paint (inside UpdateWindow) comes before the first palette.
  EXPECT_LT(IndexOf("BitBlt"), IndexOf("SetDIBColorTable"));
  ASSERT_EQ(atStart.size(), 256u);
  const RGBQUAD e0 = atStart[0], e128 = atStart[128];
  EXPECT_EQ((std::vector<int>{e0.rgbRed, e0.rgbGreen, e0.rgbBlue, e0.rgbReserved}),
            (std::vector<int>{57, 31, 4, 0}));
  EXPECT_EQ((std::vector<int>{e128.rgbRed, e128.rgbGreen, e128.rgbBlue}),
            (std::vector<int>{4, 30, 57}));
}

TEST(GdiFrames, FrameIsComposedIntoTheDibMemory) {
  FreshProcess();
  std::vector<std::uint8_t> frame;
  FakeSchedule(FakeTimerTick);
  FakeSchedule([&frame] { frame.assign(framePixels, framePixels + kFrameBytes); });
  ScheduleKey();
  EXPECT_EQ(RunSaverWith("/s"), 0);
  ASSERT_EQ(frame.size(), static_cast<std::size_t>(kFrameBytes));
  // A composed frame holds only the indices 1 to 254.
  EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](int v) { return v >= 1 && v <= 254; }));
}

TEST(GdiFrames, MissingFrameMemoryMakesNoFrames) {
  // 0 fails the call; GlobalAlloc's first two calls are the placement arrays.
  struct Case {
    const char* call;
    std::vector<int> script;
  };
  for (const Case& c : {Case{"CreateDIBSection", {0}}, Case{"GlobalAlloc", {1, 1, 0}}}) {
    SCOPED_TRACE(c.call);
    FreshProcess("pal=1");
    for (int result : c.script) ScriptResult(c.call, result);
    ScheduleTicks(2);
    ScheduleKey();
    EXPECT_EQ(RunSaverWith("/s"), 0);
    EXPECT_EQ(ringPhase, 0u);
    EXPECT_EQ(CountCalls("InvalidateRect"), 0);
    EXPECT_EQ(FakeLiveGlobalBlocks(), 0u);
  }
}

// ---- End of run

TEST(EndOfRun, OrderPerMode) {
  const Calls endNames = {"ChangeDisplaySettingsA", "Sleep",     "GlobalFree",   "DeleteDC",
                          "DeleteObject",           "KillTimer", "SetWindowPos", "ShowCursor",
                          "PostQuitMessage"};
  FreshProcess();
  FakeAddWindow(WS_CAPTION, RECT{10, 20, 310, 220});
  ScheduleKey();
  EXPECT_EQ(RunSaverWith("/s"), 0);
  Calls names;
  for (int i = IndexOf("DestroyWindow"); i < static_cast<int>(FakeCalls().size()); ++i)
    for (const std::string& n : endNames)
      if (FakeCalls()[i].name == n) names.push_back(n);
  EXPECT_EQ(names, (Calls{"ChangeDisplaySettingsA", "Sleep", "GlobalFree", "DeleteDC",
                          "DeleteObject", "KillTimer", "SetWindowPos", "GlobalFree", "GlobalFree",
                          "ShowCursor", "PostQuitMessage"}));
  EXPECT_EQ(CallsAmong({"Sleep"}), (Calls{"Sleep(100)"}));
  EXPECT_EQ(FakeCursorCount(), 0);
  EXPECT_EQ(FakeLiveGlobalBlocks(), 0u);
  EXPECT_EQ(FakeScreenWidth(), 1024);
  EXPECT_TRUE(FakeTimers().empty());

  FreshProcess();
  FakeAddWindow(WS_CAPTION, RECT{10, 20, 310, 220});
  HWND host = AddPreviewHost(152, 112);
  FakeSchedule([host] { FakeDestroyFromOutside(host); });
  EXPECT_EQ(RunSaverWith("/p " + HandleText(host)), 0);
  names.clear();
  for (const FakeCall& call : FakeCalls())
    for (const std::string& n : endNames)
      if (call.name == n) names.push_back(n);
  EXPECT_EQ(names, (Calls{"GlobalFree", "DeleteDC", "DeleteObject", "KillTimer", "ShowCursor",
                          "PostQuitMessage"}));
  EXPECT_EQ(FakeLiveGlobalBlocks(), 0u);
}

TEST(MessageLoop, GdiModesWaitInsteadOfSpinning) {
  FreshProcess();
  // Each tick comes only after the program has found its queue empty once.
  ScheduleTicks(5, 1);
  ScheduleKey(1);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  EXPECT_EQ(ringPhase, 25u);
  // Every empty look at the queue is followed by a wait, never by another look.
  EXPECT_GT(FakeEmptyPolls(), 0);
  EXPECT_EQ(FakeEmptyPolls(), CountCalls("WaitMessage"));
  const auto& calls = FakeCalls();
  for (std::size_t i = 0; i + 1 < calls.size(); ++i)
    if (calls[i].name == "WaitMessage") {
      EXPECT_EQ(calls[i + 1].name, "PeekMessageA");
    }
}

// ---- Window placement list

TEST(WindowPlacement, RecordsCaptionedVisibleWindowsAndRestoresThem) {
  FreshProcess();
  // Added bottom first: the enumeration reports them top first.
  HWND dialogFrame = FakeAddWindow(WS_DLGFRAME, RECT{1, 2, 101, 102});
  HWND minimised = FakeAddWindow(WS_CAPTION, RECT{3, 4, 103, 104}, true, true);
  HWND plain = FakeAddWindow(0, RECT{5, 6, 105, 106});
  HWND hidden = FakeAddWindow(WS_CAPTION, RECT{7, 8, 107, 108}, false);
  HWND border = FakeAddWindow(WS_BORDER, RECT{9, 10, 209, 310});
  HWND caption = FakeAddWindow(WS_CAPTION, RECT{11, 12, 511, 412});

  RecordWindowPlacements();
  EXPECT_EQ(windowPlacements.capacity, 4);  // counted: visible and not minimised, any style
  ASSERT_EQ(windowPlacements.count, 3);
  EXPECT_EQ(windowPlacements.windows[0], caption);
  EXPECT_EQ(windowPlacements.windows[1], border);
  EXPECT_EQ(windowPlacements.windows[2], dialogFrame);
  EXPECT_EQ(CountCalls("GetWindowLongA"), 4);  // the counting pass reads no style

  // The display switch moved them all; the restore puts each back and raises it.
  for (HWND w : {caption, border, dialogFrame, plain, minimised, hidden}) {
    SetWindowPos(w, nullptr, 0, 0, 50, 50, 0);
  }
  const int from = static_cast<int>(FakeCalls().size());
  RestoreWindowPlacements();
  EXPECT_EQ(CallsAmong({"SetWindowPos"}, from),
            (Calls{"SetWindowPos(" + FakeHex(reinterpret_cast<std::uintptr_t>(caption)) +
                       ", 0x0, 11, 12, 500, 400, 0x40)",
                   "SetWindowPos(" + FakeHex(reinterpret_cast<std::uintptr_t>(border)) +
                       ", 0x0, 9, 10, 200, 300, 0x40)",
                   "SetWindowPos(" + FakeHex(reinterpret_cast<std::uintptr_t>(dialogFrame)) +
                       ", 0x0, 1, 2, 100, 100, 0x40)"}));
  EXPECT_EQ(FakeCalls().size() - from, 5u);  // three moves and two frees
  EXPECT_EQ(windowPlacements.count, 0);
  EXPECT_EQ(windowPlacements.windows, nullptr);
}

TEST(WindowPlacement, RestoreLeavesTheRecordedWindowsInReverseOrder) {
  FreshProcess();
  HWND bottom = FakeAddWindow(WS_CAPTION, RECT{0, 0, 10, 10});
  HWND middle = FakeAddWindow(WS_CAPTION, RECT{0, 0, 10, 10});
  HWND top = FakeAddWindow(WS_CAPTION, RECT{0, 0, 10, 10});
  RecordWindowPlacements();
  RestoreWindowPlacements();
  const std::vector<HWND> z = FakeZOrder();
  EXPECT_EQ(z, (std::vector<HWND>{bottom, middle, top}));
}

TEST(WindowPlacement, NoRoomBeyondTheCountedCapacity) {
  FreshProcess();
  HWND windows[2];
  RECT rects[2];
  windowPlacements = WindowPlacementList{0, windows, rects, 2};
  HWND a = FakeAddWindow(WS_CAPTION, RECT{1, 1, 2, 2});
  HWND b = FakeAddWindow(WS_CAPTION, RECT{3, 3, 4, 4});
  HWND c = FakeAddWindow(WS_CAPTION, RECT{5, 5, 6, 6});
  for (HWND w : {a, b, c}) EXPECT_TRUE(CollectWindowPlacement(w, PlacementPassRecord));
  EXPECT_EQ(windowPlacements.count, 2);
  EXPECT_EQ(windows[0], a);
  EXPECT_EQ(windows[1], b);
  windowPlacements = WindowPlacementList{};
}

TEST(WindowPlacement, FailedAllocationLeavesAnEmptyList) {
  // 0 fails an allocation; 1 lets it through.
  for (const std::vector<int>& script : {std::vector<int>{0, 1}, std::vector<int>{1, 0}}) {
    FreshProcess();
    FakeAddWindow(WS_CAPTION, RECT{1, 2, 3, 4});
    FakeAddWindow(WS_CAPTION, RECT{5, 6, 7, 8});
    for (int result : script) ScriptResult("GlobalAlloc", result);
    RecordWindowPlacements();
    EXPECT_EQ(windowPlacements.count, 0);
    EXPECT_EQ(windowPlacements.windows, nullptr);
    EXPECT_EQ(windowPlacements.rects, nullptr);
    EXPECT_EQ(FakeLiveGlobalBlocks(), 0u);
    RestoreWindowPlacements();
    EXPECT_EQ(CountCalls("SetWindowPos"), 0);
  }
}

TEST(WindowPlacement, ClosedWindowDoesNotStopTheOthers) {
  FreshProcess();
  HWND first = FakeAddWindow(WS_CAPTION, RECT{1, 2, 101, 102});
  HWND closed = FakeAddWindow(WS_CAPTION, RECT{3, 4, 103, 104});
  HWND last = FakeAddWindow(WS_CAPTION, RECT{5, 6, 105, 106});
  RecordWindowPlacements();
  FakeDestroyFromOutside(closed);
  SetWindowPos(first, nullptr, 0, 0, 1, 1, 0);
  SetWindowPos(last, nullptr, 0, 0, 1, 1, 0);
  RestoreWindowPlacements();
  EXPECT_EQ(CountCalls("SetWindowPos"), 2 + 3);
  EXPECT_EQ(FakeWindowRect(first).left, 1);
  EXPECT_EQ(FakeWindowRect(last).left, 5);
  EXPECT_EQ(FakeLiveGlobalBlocks(), 0u);
}

TEST(WindowPlacement, NoWindowQualifies) {
  FreshProcess();
  FakeAddWindow(0, RECT{1, 2, 3, 4});
  RecordWindowPlacements();
  EXPECT_EQ(windowPlacements.capacity, 1);
  EXPECT_EQ(windowPlacements.count, 0);
  const int from = static_cast<int>(FakeCalls().size());
  RestoreWindowPlacements();
  EXPECT_EQ(CallsAmong({"GlobalFree", "SetWindowPos"}, from).size(), 2u);
}

}  // namespace
