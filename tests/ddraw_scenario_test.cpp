// Scenario tests of the DirectDraw mode on the recording fake: the six set-up steps and what each
// failure releases, the first palette on the palette object, the frame step (palette step, lock,
// compose, unlock, copy, flip) with lost surfaces and failing calls, the release order, and the
// window procedure's DirectDraw rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "display/ddraw_frame_step.h"
#include "display/display_resources.h"
#include "engine/compose.h"
#include "engine/palette.h"
#include "fake_win32/fake_ddraw.h"
#include "host/run_saver.h"
#include "host/saver_state.h"
#include "host_scenario.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

using Calls = std::vector<std::string>;

// DirectDraw calls (and the window's destruction) in order, each as "Name(args)".
Calls DirectDrawCalls(int from = 0) {
  Calls found;
  const auto& calls = FakeCalls();
  for (std::size_t i = from; i < calls.size(); ++i) {
    const FakeCall& call = calls[i];
    if (call.name.rfind("IDirectDraw", 0) != 0 && call.name != "DirectDrawCreate") continue;
    found.push_back(FakeCallText(call));
  }
  return found;
}

// The process after a successful DirectDraw set-up, with the message loop not yet entered.
void SetUpDirectDrawRun(const std::string& keys) {
  FreshProcess("direct_x=1\n" + keys);
  LoadSettings();
  currentMode = ModeDirectDraw;
  ASSERT_TRUE(SetUpSaver(TestInstance(), SW_SHOWNORMAL, "/s"));
}

void EndDirectDrawRun() {
  FakeDestroyFromOutside(saverWindow);
}

// ---- Set-up

TEST(DirectDrawSetUp, StepsInOrderThenPaletteAndRelease) {
  FreshProcess("direct_x=1\npal=0");
  ScheduleKey(2);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  const std::string window = FakeHex(FakeCreatedWindow());
  const Calls setUp = {
      "DirectDrawCreate(0x0, 0x0)",
      "IDirectDraw::SetCooperativeLevel(" + window + ", 0x11)",
      "IDirectDraw::SetDisplayMode(640, 480, 8)",
      "IDirectDraw::CreateSurface(size=" + std::to_string(sizeof(DDSURFACEDESC)) +
          " flags=0x21 0x0 back=1 caps=0x218, 0x0)",
      "IDirectDrawSurface::GetAttachedSurface(primary, 0x4)",
      "IDirectDraw::CreateSurface(size=" + std::to_string(sizeof(DDSURFACEDESC)) +
          " flags=0x7 640x480 back=0 caps=0x40, 0x0)",
      "IDirectDraw::CreatePalette(0x4, 57 31 4 0, 0x0)",
      "IDirectDrawSurface::SetPalette(primary, palette)",
  };
  Calls calls = DirectDrawCalls();
  ASSERT_GT(calls.size(), setUp.size());
  EXPECT_EQ(Calls(calls.begin(), calls.begin() + setUp.size()), setUp);
  const Calls release = {
      "IDirectDrawSurface::Release(offscreen)", "IDirectDrawSurface::Release(back)",
      "IDirectDrawSurface::Release(primary)",   "IDirectDrawPalette::Release(palette)",
      "IDirectDraw::RestoreDisplayMode()",      "IDirectDraw::Release()",
  };
  EXPECT_EQ(Calls(calls.end() - release.size(), calls.end()), release);
  EXPECT_EQ(FakeDirectDrawReferencesLeft(), 0);
  // The set-up's order around DirectDraw: shown, focused and the cursor hidden first.
  EXPECT_LT(IndexOf("ShowCursor"), IndexOf("DirectDrawCreate"));
  EXPECT_EQ(FakeCursorCount(), 0);
}

struct FailingStep {
  const char* call;
  int callsBefore;  // successful calls of the same name before the failing one
  Calls released;
  bool refuse640;  // the display has no 640 x 480 for GDI either: the fitted picture
};

// Whatever step fails, DirectDraw gives back what it made and the display mode, and the run goes on
// as the GDI full screen in the same window: switch, frames, covers' rules, a key, exit 0.
TEST(DirectDrawSetUp, EachFailingStepFallsBackToGdi) {
  const Calls restoreAndRelease = {"IDirectDraw::RestoreDisplayMode()", "IDirectDraw::Release()"};
  const FailingStep steps[] = {
      {"DirectDrawCreate", 0, {}, false},
      {"DirectDrawCreate", 0, {}, true},
      {"IDirectDraw::SetCooperativeLevel", 0, restoreAndRelease, false},
      {"IDirectDraw::SetDisplayMode", 0, restoreAndRelease, false},
      {"IDirectDraw::SetDisplayMode", 0, restoreAndRelease, true},
      {"IDirectDraw::CreateSurface", 0, restoreAndRelease, false},
      {"IDirectDrawSurface::GetAttachedSurface",
       0,
       {"IDirectDrawSurface::Release(primary)", "IDirectDraw::RestoreDisplayMode()",
        "IDirectDraw::Release()"},
       false},
      {"IDirectDraw::CreateSurface",
       1,
       {"IDirectDrawSurface::Release(back)", "IDirectDrawSurface::Release(primary)",
        "IDirectDraw::RestoreDisplayMode()", "IDirectDraw::Release()"},
       false},
  };
  for (const FailingStep& step : steps) {
    SCOPED_TRACE(std::string(step.call) + " #" + std::to_string(step.callsBefore + 1) +
                 (step.refuse640 ? ", no 640 x 480" : ""));
    FreshProcess("direct_x=1");
    HWND other = FakeAddWindow(WS_CAPTION, RECT{10, 20, 310, 220});
    for (int i = 0; i < step.callsBefore; ++i) ScriptResult(step.call, DD_OK);
    ScriptResult(step.call, DDERR_GENERIC);
    if (step.refuse640) ScriptResult("ChangeDisplaySettingsA", -2);
    ScheduleTicks(1);
    ScheduleKey();
    EXPECT_EQ(RunSaverWith("/s"), 0);
    EXPECT_EQ(currentMode, ModeGdiFullScreen);

    // DirectDraw released and the mode restored before the GDI set-up begins.
    const int failed = IndexOf(step.call, step.callsBefore > 0 ? IndexOf(step.call) + 1 : 0);
    const int switched = IndexOf("ChangeDisplaySettingsA");
    ASSERT_GE(failed, 0);
    ASSERT_GT(switched, failed);
    Calls between = DirectDrawCalls(failed + 1);
    between.resize(std::min(between.size(), step.released.size()));
    EXPECT_EQ(between, step.released);
    EXPECT_EQ(DirectDrawCalls(switched), Calls{});
    EXPECT_EQ(FakeDirectDrawReferencesLeft(), 0);
    EXPECT_LT(switched, IndexOf("GlobalAlloc", switched));
    EXPECT_LT(IndexOf("GlobalAlloc", switched), IndexOf("CreateDIBSection"));

    // The window is sized for the screen the switch left, and shows the GDI frame on it.
    const int width = step.refuse640 ? 1024 : 640, height = step.refuse640 ? 768 : 480;
    EXPECT_EQ(ArgsOf("SetWindowPos"),
              (Calls{FakeHex(FakeCreatedWindow()), FakeHex(std::uintptr_t{0}), "0", "0",
                     std::to_string(width), std::to_string(height), FakeHex(0x14)}));
    EXPECT_EQ(CountCalls(step.refuse640 ? "StretchBlt" : "BitBlt"), 1);
    EXPECT_EQ(CountCalls("IDirectDrawSurface::Lock"), 0);
    // The end of run is the GDI one: the display back, the other windows and the cursor too.
    EXPECT_EQ(CallsAmong({"ChangeDisplaySettingsA"}).back(), "ChangeDisplaySettingsA(null, 0)");
    EXPECT_EQ(FakeWindowRect(other).left, 10);
    EXPECT_EQ(FakeCursorCount(), 0);
    EXPECT_EQ(FakeScreenWidth(), 1024);
  }
}

// ---- Frame step

TEST(DirectDrawFrame, OneStepInOrder) {
  SetUpDirectDrawRun("pal=1");
  const int from = static_cast<int>(FakeCalls().size());
  EXPECT_EQ(DirectDrawFrameStep(), 1);
  const std::string size = std::to_string(sizeof(DDSURFACEDESC));
  EXPECT_EQ(DirectDrawCalls(from),
            (Calls{"IDirectDrawPalette::GetEntries(palette, 0, 0, 256)",
                   "IDirectDrawPalette::SetEntries(palette, 0, 0, 256)",
                   "IDirectDrawSurface::Lock(offscreen, null, " + size + ", 0, 0x0)",
                   "IDirectDrawSurface::Unlock(offscreen, 0x0)",
                   "IDirectDrawSurface::BltFast(back, 0, 0, offscreen, 0 0 640 480, 0x10)",
                   "IDirectDrawSurface::Flip(primary, null, 0x1)"}));
  EXPECT_EQ(ringPhase, 5u);
  // The frame went into the locked surface, rows 640 apart.
  const std::vector<std::uint8_t>& memory = FakeOffscreenMemory();
  EXPECT_EQ(framePixels, memory.data());
  EXPECT_NE(memory[0], 0xEE);
  EndDirectDrawRun();
  EXPECT_EQ(FakeDirectDrawReferencesLeft(), 0);
}

TEST(DirectDrawFrame, FixedPaletteMakesTheLockTheFirstCall) {
  SetUpDirectDrawRun("pal=0");
  for (int i = 0; i < 3; ++i) {
    const int from = static_cast<int>(FakeCalls().size());
    EXPECT_EQ(DirectDrawFrameStep(), 1);
    EXPECT_EQ(DirectDrawCalls(from).front().rfind("IDirectDrawSurface::Lock(offscreen", 0), 0u);
  }
  EXPECT_EQ(CountCalls("IDirectDrawPalette::GetEntries"), 0);
  EndDirectDrawRun();
}

TEST(DirectDrawFrame, FailedLockStepsThePaletteOnly) {
  for (HRESULT failure : {DDERR_WASSTILLDRAWING, DDERR_GENERIC, DDERR_SURFACELOST}) {
    SCOPED_TRACE(FakeHex(static_cast<std::uint32_t>(failure)));
    SetUpDirectDrawRun("pal=1");
    EXPECT_EQ(DirectDrawFrameStep(), 1);  // the first step repeats the first palette
    const std::vector<PALETTEENTRY> before = FakePaletteEntries();
    const RingLayer layer = ringLayers[3];
    const std::uint32_t phase = ringPhase;
    const int from = static_cast<int>(FakeCalls().size());
    ScriptResult("IDirectDrawSurface::Lock", failure);
    EXPECT_EQ(DirectDrawFrameStep(), 0);
    EXPECT_NE(std::memcmp(before.data(), FakePaletteEntries().data(), 256 * 4), 0);
    EXPECT_EQ(ringPhase, phase);
    EXPECT_EQ(ringLayers[3].x, layer.x);
    EXPECT_EQ(ringLayers[3].u, layer.u);
    Calls expected = {"IDirectDrawPalette::GetEntries(palette, 0, 0, 256)",
                      "IDirectDrawPalette::SetEntries(palette, 0, 0, 256)",
                      "IDirectDrawSurface::Lock(offscreen, null, " +
                          std::to_string(sizeof(DDSURFACEDESC)) + ", 0, 0x0)"};
    // A lost surface is restored so that the next lock can succeed; the frame is still skipped.
    if (failure == DDERR_SURFACELOST)
      expected.insert(expected.end(),
                      {"IDirectDrawSurface::Restore(primary)", "IDirectDrawSurface::Restore(back)",
                       "IDirectDrawSurface::Restore(offscreen)"});
    EXPECT_EQ(DirectDrawCalls(from), expected);
    EndDirectDrawRun();
  }
}

TEST(DirectDrawFrame, LostSurfaceDuringCopyOrFlipIsRestoredAndRetried) {
  for (const char* call : {"IDirectDrawSurface::BltFast", "IDirectDrawSurface::Flip"}) {
    SCOPED_TRACE(call);
    SetUpDirectDrawRun("pal=0");
    ScriptResult(call, DDERR_SURFACELOST);
    const int from = static_cast<int>(FakeCalls().size());
    EXPECT_EQ(DirectDrawFrameStep(), 1);
    const Calls restores = {"IDirectDrawSurface::Restore(primary)",
                            "IDirectDrawSurface::Restore(back)",
                            "IDirectDrawSurface::Restore(offscreen)"};
    const Calls blt = {"IDirectDrawSurface::BltFast(back, 0, 0, offscreen, 0 0 640 480, 0x10)"};
    const Calls flip = {"IDirectDrawSurface::Flip(primary, null, 0x1)"};
    Calls expected = blt;
    if (std::string(call) == "IDirectDrawSurface::BltFast") {
      expected.insert(expected.end(), restores.begin(), restores.end());
      expected.insert(expected.end(), blt.begin(), blt.end());
      expected.insert(expected.end(), flip.begin(), flip.end());
    } else {
      expected.insert(expected.end(), flip.begin(), flip.end());
      expected.insert(expected.end(), restores.begin(), restores.end());
      expected.insert(expected.end(), flip.begin(), flip.end());
    }
    Calls calls = DirectDrawCalls(from);
    calls.erase(calls.begin(), calls.begin() + 2);  // the lock and the unlock
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(CountCalls("IDirectDrawSurface::Lock"), 1);  // composed once, shown once
    EndDirectDrawRun();
  }
}

TEST(DirectDrawFrame, RetriesAreBounded) {
  struct Case {
    const char* call;
    HRESULT failure;
  };
  for (const Case& c : {Case{"IDirectDrawSurface::BltFast", DDERR_GENERIC},
                        Case{"IDirectDrawSurface::Flip", DDERR_GENERIC},
                        Case{"IDirectDrawSurface::Flip", DDERR_SURFACELOST}}) {
    SCOPED_TRACE(std::string(c.call) + " " + FakeHex(static_cast<std::uint32_t>(c.failure)));
    SetUpDirectDrawRun("pal=0");
    FakeDirectDrawStickyResult(c.call, c.failure);
    EXPECT_EQ(DirectDrawFrameStep(), 0);
    EXPECT_EQ(CountCalls(c.call), kPresentAttempts);
    if (std::string(c.call) == "IDirectDrawSurface::BltFast") {
      EXPECT_EQ(CountCalls("IDirectDrawSurface::Flip"), 0);
    }
    EndDirectDrawRun();
  }
}

TEST(DirectDrawFrame, PermanentlyFailingFlipStillEndsOnAKey) {
  FreshProcess("direct_x=1");
  FakeDirectDrawStickyResult("IDirectDrawSurface::Flip", DDERR_GENERIC);
  ScheduleInput(WM_KEYDOWN, 0x1B, 3);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  EXPECT_EQ(CountCalls("IDirectDrawSurface::Lock"), 3);
  EXPECT_EQ(FakeDirectDrawReferencesLeft(), 0);
}

TEST(DirectDrawFrame, ReportedPitchPlacesEachRow) {
  for (LONG pitch : {640, 704}) {
    SCOPED_TRACE(pitch);
    SetUpDirectDrawRun("pal=0\ncir=0");
    FakeDirectDrawSetLockPitch(pitch);
    // The same frame composed into plain memory with rows 640 apart, from the same state.
    const RingLayer layers[kRingLayerCount] = {ringLayers[0], ringLayers[1], ringLayers[2],
                                               ringLayers[3]};
    const std::uint32_t phase = ringPhase;
    std::vector<std::uint8_t> expected(kFrameBytes);
    framePixels = expected.data();
    framePitch = kFrameWidth;
    ComposeFrame();
    std::copy(layers, layers + kRingLayerCount, ringLayers);
    ringPhase = phase;

    EXPECT_EQ(DirectDrawFrameStep(), 1);
    const std::vector<std::uint8_t>& memory = FakeOffscreenMemory();
    ASSERT_EQ(memory.size(), static_cast<std::size_t>(pitch) * 480);
    for (int y = 0; y < kFrameHeight; ++y) {
      const std::uint8_t* row = memory.data() + y * pitch;
      ASSERT_EQ(std::memcmp(row, expected.data() + y * kFrameWidth, kFrameWidth), 0) << y;
      for (int x = kFrameWidth; x < pitch; ++x) ASSERT_EQ(row[x], 0xEE) << y;
    }
    EndDirectDrawRun();
  }
}

TEST(DirectDrawFrame, PitchTooShortForARowSkipsTheFrame) {
  SetUpDirectDrawRun("pal=0");
  FakeDirectDrawSetLockPitch(320);
  const int from = static_cast<int>(FakeCalls().size());
  EXPECT_EQ(DirectDrawFrameStep(), 0);
  EXPECT_EQ(ringPhase, 0u);
  const std::vector<std::uint8_t>& memory = FakeOffscreenMemory();
  EXPECT_TRUE(std::all_of(memory.begin(), memory.end(), [](int b) { return b == 0xEE; }));
  const Calls calls = DirectDrawCalls(from);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1], "IDirectDrawSurface::Unlock(offscreen, 0x0)");
  EndDirectDrawRun();
}

// ---- Palette object

TEST(DirectDrawPalette, NoPaletteObjectSkipsTheStep) {
  FreshProcess("direct_x=1\npal=1");
  ScriptResult("IDirectDraw::CreatePalette", DDERR_GENERIC);
  ScheduleKey(3);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  EXPECT_EQ(CountCalls("IDirectDrawSurface::SetPalette"), 0);
  EXPECT_EQ(CountCalls("IDirectDrawPalette::GetEntries"), 0);
  EXPECT_EQ(CountCalls("IDirectDrawSurface::Flip"), 3);  // frames still shown
  EXPECT_EQ(FakeDirectDrawReferencesLeft(), 0);
}

TEST(DirectDrawPalette, FailedReadSkipsTheStep) {
  SetUpDirectDrawRun("pal=2");
  const std::vector<PALETTEENTRY> first = FakePaletteEntries();
  ScriptResult("IDirectDrawPalette::GetEntries", DDERR_GENERIC);
  EXPECT_EQ(DirectDrawFrameStep(), 1);
  EXPECT_EQ(CountCalls("IDirectDrawPalette::SetEntries"), 0);
  EXPECT_EQ(std::memcmp(first.data(), FakePaletteEntries().data(), 256 * 4), 0);
  // The next step works from the object again: a shift by one place.
  EXPECT_EQ(DirectDrawFrameStep(), 1);
  const std::vector<PALETTEENTRY> shifted = FakePaletteEntries();
  EXPECT_EQ(std::memcmp(&shifted[2], &first[1], 4), 0);
  EndDirectDrawRun();

  SetUpDirectDrawRun("pal=1");
  const PaletteState phases = paletteState;
  ScriptResult("IDirectDrawPalette::GetEntries", DDERR_GENERIC);
  EXPECT_EQ(DirectDrawFrameStep(), 1);
  EXPECT_EQ(paletteState.phaseR, phases.phaseR);
  EXPECT_EQ(paletteState.phaseG, phases.phaseG);
  EndDirectDrawRun();
}

TEST(DirectDrawPalette, StepKeepsTheFlagsByte) {
  SetUpDirectDrawRun("pal=1");
  EXPECT_EQ(DirectDrawFrameStep(), 1);
  EXPECT_EQ(DirectDrawFrameStep(), 1);
  // The default speeds after the second step: entry 0 = 57, 34, 3 and entry 128 = 4, 27, 58.
  const std::vector<PALETTEENTRY> entries = FakePaletteEntries();
  EXPECT_EQ((std::vector<int>{entries[0].peRed, entries[0].peGreen, entries[0].peBlue,
                              entries[0].peFlags}),
            (std::vector<int>{57, 34, 3, 0}));
  EXPECT_EQ((std::vector<int>{entries[128].peRed, entries[128].peGreen, entries[128].peBlue}),
            (std::vector<int>{4, 27, 58}));
  EndDirectDrawRun();
}

// ---- Window procedure and loop

TEST(DirectDrawWindow, TimerDoesNothingAndPaintGoesToTheDefault) {
  FreshProcess("direct_x=1\npal=1");
  FakeSchedule([] {
    FakeTimerTick();
    InvalidateRect(FakeCreatedWindow(), nullptr, FALSE);
  });
  ScheduleInput(WM_RBUTTONDOWN, 0, 2);
  EXPECT_EQ(RunSaverWith("/s"), 0);
  // Two idle frames, and nothing more from the timer.
  EXPECT_EQ(ringPhase, 10u);
  EXPECT_EQ(CountCalls("IDirectDrawSurface::Flip"), 2);
  EXPECT_EQ(CountCalls("BeginPaint"), 0);
  EXPECT_GE(CountCalls("DefWindowProcA"), 1);
  EXPECT_EQ(CountCalls("WaitMessage"), 0);  // idle time makes frames instead
  EXPECT_EQ(FakeDirectDrawReferencesLeft(), 0);
}

}  // namespace
