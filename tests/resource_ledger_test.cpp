// Every platform resource the saver is handed (device contexts, the DIB section, global memory,
// the timer, paints, DirectDraw objects) is released exactly once, on every path: each way a run
// ends, and each failure of a call whose failure the start-up survives. Checked with the fake's
// ledger, which notes what is still held and every release of something not held.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_win32/fake_ddraw.h"
#include "fake_win32/fake_gdi.h"
#include "fake_win32/fake_ledger.h"
#include "host/saver_state.h"
#include "host_scenario.h"

namespace {

// The DirectDraw frames run while the queue is empty, so ScheduleKey(3) comes after three of them.

// The call's first `before` uses succeed and the next one fails.
void FailCall(const char* call, HRESULT failure, int before = 0) {
  for (int i = 0; i < before; ++i) ScriptResult(call, DD_OK);
  ScriptResult(call, failure);
}

void ExpectEverythingReleased(bool fullScreen) {
  EXPECT_EQ(FakeLiveResources(), std::vector<std::string>{});
  EXPECT_EQ(FakeBadReleases(), std::vector<std::string>{});
  EXPECT_EQ(FakeLiveGlobalBlocks(), 0u);
  EXPECT_TRUE(FakeTimers().empty());
  EXPECT_EQ(FakeDirectDrawReferencesLeft(), 0);
  if (fullScreen) {
    EXPECT_EQ(FakeCursorCount(), 0) << "the cursor is shown again";
  }
}

// A DirectDraw set-up step that fails, then the GDI run that follows, ended by a key.
void FallBackToGdi(const char* call, int before = 0) {
  FailCall(call, DDERR_GENERIC, before);
  ScheduleTicks(2);
  ScheduleKey();
}

struct Path {
  const char* what;
  const char* keys;  // settings file lines
  bool fullScreen;
  bool preview;                  // the tail gets a host window
  std::function<void()> script;  // scripted failures and scheduled events
};

// Ends a run the ways the platform and the user do.
const Path kEndings[] = {
    {"GDI full screen, a key", "direct_x=0", true, false,
     [] {
       ScheduleTicks(3);
       ScheduleKey();
     }},
    {"GDI full screen, a click", "direct_x=0", true, false, [] { ScheduleInput(WM_LBUTTONDOWN); }},
    {"GDI full screen, the mouse moves on", "direct_x=0", true, false,
     [] {
       for (int i = 1; i <= 5; ++i)
         FakeSchedule([i] {
           FakeSetCursorPos(100 + 10 * i, 100);
           FakePostInput(WM_MOUSEMOVE);
         });
     }},
    {"GDI full screen, closed from outside", "direct_x=0", true, false,
     [] {
       ScheduleTicks(2);
       FakeSchedule([] { FakeDestroyFromOutside(FakeCreatedWindow()); });
     }},
    {"GDI full screen, tiled, fixed palette", "one=0\npal=0\ncir=0", true, false,
     [] {
       ScheduleTicks(4);
       ScheduleInput(WM_RBUTTONDOWN);
     }},
    {"DirectDraw full screen, a key", "direct_x=1", true, false, [] { ScheduleKey(3); }},
    {"DirectDraw full screen, a click, fixed palette", "direct_x=1\npal=0", true, false,
     [] { ScheduleInput(WM_LBUTTONDOWN, 0, 2); }},
    {"DirectDraw full screen, closed from outside", "direct_x=1\npal=2", true, false,
     [] { FakeSchedule([] { FakeDestroyFromOutside(FakeCreatedWindow()); }, 4); }},
    {"preview, host window destroyed", "", false, true,
     [] {
       ScheduleTicks(3);
       ScheduleKey();  // swallowed in the preview
     }},
};

// Failures of calls that the start-up goes on after, or ends quietly on.
const Path kFailures[] = {
    {"GDI full screen, no window", "direct_x=0", true, false,
     [] { ScriptResult("CreateWindowExA", 0); }},
    {"DirectDraw full screen, no window", "direct_x=1", true, false,
     [] { ScriptResult("CreateWindowExA", 0); }},
    {"preview, no window", "", false, true, [] { ScriptResult("CreateWindowExA", 0); }},
    {"GDI full screen, no DIB section", "direct_x=0", true, false,
     [] {
       ScriptResult("CreateDIBSection", 0);
       ScheduleTicks(2);
       ScheduleKey();
     }},
    {"GDI full screen, no memory DC", "direct_x=0", true, false,
     [] {
       ScriptResult("CreateCompatibleDC", 0);
       ScheduleTicks(2);
       ScheduleKey();
     }},
    {"preview, no DIB section", "", false, true,
     [] {
       ScriptResult("CreateDIBSection", 0);
       ScheduleTicks(2);
     }},
    {"GDI full screen, no memory for the placement list", "direct_x=0", true, false,
     [] {
       ScriptResult("GlobalAlloc", 0);
       ScheduleKey();
     }},
    {"GDI full screen, no memory for the bitmap header", "direct_x=0", true, false,
     [] {
       ScriptResult("GlobalAlloc", 1);  // the placement list
       ScriptResult("GlobalAlloc", 1);
       ScriptResult("GlobalAlloc", 0);
       ScheduleTicks(2);
       ScheduleKey();
     }},
    {"preview, no memory for the bitmap header", "", false, true,
     [] {
       ScriptResult("GlobalAlloc", 0);
       ScheduleTicks(2);
     }},
    {"GDI full screen, no timer", "direct_x=0", true, false,
     [] {
       ScriptResult("SetTimer", 0);
       ScheduleKey();
     }},
    {"DirectDraw: no DirectDraw object, then GDI", "direct_x=1", true, false,
     [] { FallBackToGdi("DirectDrawCreate"); }},
    {"DirectDraw: no exclusive level, then GDI", "direct_x=1", true, false,
     [] { FallBackToGdi("IDirectDraw::SetCooperativeLevel"); }},
    {"DirectDraw: no display mode, then GDI", "direct_x=1", true, false,
     [] { FallBackToGdi("IDirectDraw::SetDisplayMode"); }},
    {"DirectDraw: no primary surface, then GDI", "direct_x=1", true, false,
     [] { FallBackToGdi("IDirectDraw::CreateSurface"); }},
    {"DirectDraw: no back buffer, then GDI", "direct_x=1", true, false,
     [] { FallBackToGdi("IDirectDrawSurface::GetAttachedSurface"); }},
    {"DirectDraw: no offscreen surface, then GDI", "direct_x=1", true, false,
     [] { FallBackToGdi("IDirectDraw::CreateSurface", 1); }},
    {"DirectDraw: no palette object", "direct_x=1", true, false,
     [] {
       FailCall("IDirectDraw::CreatePalette", DDERR_GENERIC);
       ScheduleKey(3);
     }},
    {"DirectDraw: the lock fails", "direct_x=1", true, false,
     [] {
       FakeDirectDrawStickyResult("IDirectDrawSurface::Lock", DDERR_SURFACELOST);
       ScheduleKey(3);
     }},
    {"DirectDraw: surfaces lost during the copy", "direct_x=1", true, false,
     [] {
       FailCall("IDirectDrawSurface::BltFast", DDERR_SURFACELOST);
       ScheduleKey(3);
     }},
    {"DirectDraw: every flip fails", "direct_x=1", true, false,
     [] {
       FakeDirectDrawStickyResult("IDirectDrawSurface::Flip", DDERR_GENERIC);
       ScheduleKey(3);
     }},
    {"second instance", "", true, false, [] { ScriptResult("GetLastError", 183); }},
    {"preview without a parent", "", false, false, [] {}},
    // The host closes its preview while the window is being made: the window's destruction
    // releases the run, and the failed creation must not release it again.
    {"preview, closed by its host during the window's creation", "", false, true,
     [] { FakeDuringNextCreate([] { FakeDestroyFromOutside(FakeCreatedWindow()); }); }},
};

void RunPath(const Path& path) {
  SCOPED_TRACE(path.what);
  FreshProcess(path.keys);
  FakeAddWindow(WS_CAPTION, RECT{10, 20, 310, 220});
  std::string tail = path.fullScreen ? "/s" : "/p";
  if (path.preview) {
    HWND host = AddPreviewHost(152, 112);
    tail += " " + HandleText(host);
    // The preview ends when its host goes away; queued after the path's own events.
    path.script();
    FakeSchedule([host] { FakeDestroyFromOutside(host); });
  } else {
    path.script();
  }
  EXPECT_EQ(RunSaverWith(tail), 0);
  ExpectEverythingReleased(path.fullScreen);
}

TEST(ResourceLedger, EveryWayARunEndsReleasesEverythingOnce) {
  for (const Path& path : kEndings) {
    RunPath(path);
    // The run really had its resources: the timer, and the DIB and its DC in the GDI modes, the
    // DirectDraw objects in the DirectDraw mode.
    EXPECT_EQ(FakeHandedOut("timer 1"), 1) << path.what;
    if (std::string(path.keys).find("direct_x=1") == std::string::npos) {
      EXPECT_EQ(FakeHandedOut("bitmap"), 1) << path.what;
      EXPECT_EQ(FakeHandedOut("memory DC"), 1) << path.what;
    } else {
      EXPECT_EQ(FakeHandedOut("DirectDraw"), 1) << path.what;
      EXPECT_EQ(FakeHandedOut("surface offscreen"), 1) << path.what;
      EXPECT_EQ(FakeHandedOut("palette"), 1) << path.what;
    }
  }
}

TEST(ResourceLedger, FailedCallsLeaveNothingBehind) {
  for (const Path& path : kFailures) RunPath(path);
}

TEST(ResourceLedger, TheLedgerSeesLeaksAndDoubleReleases) {
  // The check itself: a resource kept, and one released twice, are both reported.
  FreshProcess();
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(FakeLiveResources().size(), 1u);
  DeleteDC(dc);
  DeleteDC(dc);
  EXPECT_TRUE(FakeLiveResources().empty());
  EXPECT_EQ(FakeBadReleases().size(), 1u);
}

}  // namespace
