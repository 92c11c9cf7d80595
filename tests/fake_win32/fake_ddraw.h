// The DirectDraw area of the test fake, as the scenario tests drive it: one DirectDraw object, the
// surfaces it creates (named "primary", "back" and "offscreen" by how they were asked for) and a
// palette. Every method call is recorded as "IDirectDrawSurface::Lock" and so on, with the object's
// name first; results come from ScriptResult under the same name, then from a sticky result, then
// DD_OK.
#pragma once

#include <windows.h>
// windows.h first: the DirectDraw header builds on its types.
#include <ddraw.h>

#include <cstdint>
#include <string>
#include <vector>

// Every later call of `call` (after its scripted results) returns `result`.
void FakeDirectDrawStickyResult(const std::string& call, HRESULT result);
// The pitch the offscreen surface's lock reports (640 unless set); its memory is pitch x 480 bytes,
// filled with 0xEE before the run.
void FakeDirectDrawSetLockPitch(LONG pitch);
// The offscreen surface's memory (empty before it is created).
const std::vector<std::uint8_t>& FakeOffscreenMemory();
// The palette object's entries (empty when there is none).
std::vector<PALETTEENTRY> FakePaletteEntries();
// DirectDraw objects whose references are not back at zero: not released, or released too often.
int FakeDirectDrawReferencesLeft();
