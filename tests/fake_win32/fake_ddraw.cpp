// The DirectDraw area of the fake: the first-version interfaces as recording objects. Only the
// methods the saver uses do anything; the others are recorded and report DDERR_UNSUPPORTED.
#include "fake_win32/fake_ddraw.h"

#include <map>
#include <memory>

#include "fake_win32/fake_calls.h"
#include "fake_win32/fake_ledger.h"
#include "fake_win32/fake_system.h"
#include "fake_win32/fake_window.h"

namespace {

// What the scenario sets: results and the reported pitch.
struct Script {
  std::map<std::string, HRESULT> sticky;
  LONG pitch = 640;
};

Script& S() {
  static Script script;
  return script;
}

struct Surface;
Surface* NewSurface(const std::string& name);
const std::vector<std::uint8_t> kNoMemory;

HRESULT Result(const std::string& call, HRESULT ordinary = DD_OK) {
  std::int64_t scripted = 0;
  if (TakeScriptedResult(call, &scripted)) return static_cast<HRESULT>(scripted);
  auto sticky = S().sticky.find(call);
  return sticky != S().sticky.end() ? sticky->second : ordinary;
}

HRESULT Unsupported(const std::string& call, const std::string& name) {
  RecordCall(call, {name});
  return DDERR_UNSUPPORTED;
}

struct Palette final : IDirectDrawPalette {
  std::vector<PALETTEENTRY> entries = std::vector<PALETTEENTRY>(256);
  int references = 1;

  HRESULT QueryInterface(REFIID, void**) override {
    return Unsupported("IDirectDrawPalette::QueryInterface", "palette");
  }
  ULONG AddRef() override {
    FakeHandOut("palette", FakeKey(this));
    return ++references;
  }
  ULONG Release() override {
    RecordCall("IDirectDrawPalette::Release", {"palette"});
    FakeTakeBack("palette", FakeKey(this));
    return --references;
  }
  HRESULT GetCaps(LPDWORD) override {
    return Unsupported("IDirectDrawPalette::GetCaps", "palette");
  }
  HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY out) override {
    RecordCall("IDirectDrawPalette::GetEntries",
               {"palette", FakeNum(flags), FakeNum(base), FakeNum(count)});
    const HRESULT result = Result("IDirectDrawPalette::GetEntries");
    if (result == DD_OK)
      for (DWORD i = 0; i < count && base + i < 256; ++i) out[i] = entries[base + i];
    return result;
  }
  HRESULT Initialize(LPDIRECTDRAW, DWORD, LPPALETTEENTRY) override {
    return Unsupported("IDirectDrawPalette::Initialize", "palette");
  }
  HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY in) override {
    RecordCall("IDirectDrawPalette::SetEntries",
               {"palette", FakeNum(flags), FakeNum(start), FakeNum(count)});
    const HRESULT result = Result("IDirectDrawPalette::SetEntries");
    if (result == DD_OK)
      for (DWORD i = 0; i < count && start + i < 256; ++i) entries[start + i] = in[i];
    return result;
  }
};

struct Surface final : IDirectDrawSurface {
  std::string name;
  std::vector<std::uint8_t> memory;
  int references = 1;
  explicit Surface(std::string surfaceName) : name(std::move(surfaceName)) {}

  HRESULT Call(const std::string& method, std::vector<std::string> args = {}) {
    const std::string call = "IDirectDrawSurface::" + method;
    args.insert(args.begin(), name);
    RecordCall(call, std::move(args));
    return Result(call);
  }
  static std::string NameOf(LPDIRECTDRAWSURFACE surface) {
    return surface ? static_cast<Surface*>(surface)->name : "null";
  }

  HRESULT QueryInterface(REFIID, void**) override { return Call("QueryInterface"); }
  ULONG AddRef() override {
    FakeHandOut("surface " + name, FakeKey(this));
    return ++references;
  }
  ULONG Release() override {
    Call("Release");
    FakeTakeBack("surface " + name, FakeKey(this));
    return --references;
  }
  HRESULT AddAttachedSurface(LPDIRECTDRAWSURFACE) override {
    return Unsupported("IDirectDrawSurface::AddAttachedSurface", name);
  }
  HRESULT AddOverlayDirtyRect(LPRECT) override {
    return Unsupported("IDirectDrawSurface::AddOverlayDirtyRect", name);
  }
  HRESULT Blt(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDBLTFX) override {
    return Unsupported("IDirectDrawSurface::Blt", name);
  }
  HRESULT BltBatch(LPDDBLTBATCH, DWORD, DWORD) override {
    return Unsupported("IDirectDrawSurface::BltBatch", name);
  }
  HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE source, LPRECT rect, DWORD flags) override {
    const std::string r = rect ? FakeNum(rect->left) + " " + FakeNum(rect->top) + " " +
                                     FakeNum(rect->right) + " " + FakeNum(rect->bottom)
                               : "null";
    return Call("BltFast", {FakeNum(x), FakeNum(y), NameOf(source), r, FakeHex(flags)});
  }
  HRESULT DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE) override {
    return Unsupported("IDirectDrawSurface::DeleteAttachedSurface", name);
  }
  HRESULT EnumAttachedSurfaces(LPVOID, LPDDENUMSURFACESCALLBACK) override {
    return Unsupported("IDirectDrawSurface::EnumAttachedSurfaces", name);
  }
  HRESULT EnumOverlayZOrders(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK) override {
    return Unsupported("IDirectDrawSurface::EnumOverlayZOrders", name);
  }
  HRESULT Flip(LPDIRECTDRAWSURFACE target, DWORD flags) override {
    // The flip takes its time (the vertical blank it waits for), whatever it returns.
    FakeAdvanceClock(FakeFlipMicros());
    return Call("Flip", {NameOf(target), FakeHex(flags)});
  }
  HRESULT GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* surface) override;
  HRESULT GetBltStatus(DWORD) override {
    return Unsupported("IDirectDrawSurface::GetBltStatus", name);
  }
  HRESULT GetCaps(LPDDSCAPS) override { return Unsupported("IDirectDrawSurface::GetCaps", name); }
  HRESULT GetClipper(LPDIRECTDRAWCLIPPER*) override {
    return Unsupported("IDirectDrawSurface::GetClipper", name);
  }
  HRESULT GetColorKey(DWORD, LPDDCOLORKEY) override {
    return Unsupported("IDirectDrawSurface::GetColorKey", name);
  }
  HRESULT GetDC(HDC*) override { return Unsupported("IDirectDrawSurface::GetDC", name); }
  HRESULT GetFlipStatus(DWORD) override {
    return Unsupported("IDirectDrawSurface::GetFlipStatus", name);
  }
  HRESULT GetOverlayPosition(LPLONG, LPLONG) override {
    return Unsupported("IDirectDrawSurface::GetOverlayPosition", name);
  }
  HRESULT GetPalette(LPDIRECTDRAWPALETTE*) override {
    return Unsupported("IDirectDrawSurface::GetPalette", name);
  }
  HRESULT GetPixelFormat(LPDDPIXELFORMAT) override {
    return Unsupported("IDirectDrawSurface::GetPixelFormat", name);
  }
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC) override {
    return Unsupported("IDirectDrawSurface::GetSurfaceDesc", name);
  }
  HRESULT Initialize(LPDIRECTDRAW, LPDDSURFACEDESC) override {
    return Unsupported("IDirectDrawSurface::Initialize", name);
  }
  HRESULT IsLost() override { return Call("IsLost"); }
  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) override {
    const HRESULT result = Call("Lock", {rect ? "rect" : "null", FakeNum(desc ? desc->dwSize : 0),
                                         FakeNum(flags), FakeHex(event)});
    if (result != DD_OK || desc == nullptr) return result;
    if (memory.empty()) memory.assign(static_cast<std::size_t>(S().pitch) * 480, 0xEE);
    desc->lpSurface = memory.data();
    desc->lPitch = S().pitch;
    desc->dwWidth = 640;
    desc->dwHeight = 480;
    return result;
  }
  HRESULT ReleaseDC(HDC) override { return Unsupported("IDirectDrawSurface::ReleaseDC", name); }
  HRESULT Restore() override { return Call("Restore"); }
  HRESULT SetClipper(LPDIRECTDRAWCLIPPER) override {
    return Unsupported("IDirectDrawSurface::SetClipper", name);
  }
  HRESULT SetColorKey(DWORD, LPDDCOLORKEY) override {
    return Unsupported("IDirectDrawSurface::SetColorKey", name);
  }
  HRESULT SetOverlayPosition(LONG, LONG) override {
    return Unsupported("IDirectDrawSurface::SetOverlayPosition", name);
  }
  HRESULT SetPalette(LPDIRECTDRAWPALETTE palette) override {
    return Call("SetPalette", {palette ? "palette" : "null"});
  }
  HRESULT Unlock(LPVOID data) override { return Call("Unlock", {FakeHex(data)}); }
  HRESULT UpdateOverlay(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDOVERLAYFX) override {
    return Unsupported("IDirectDrawSurface::UpdateOverlay", name);
  }
  HRESULT UpdateOverlayDisplay(DWORD) override {
    return Unsupported("IDirectDrawSurface::UpdateOverlayDisplay", name);
  }
  HRESULT UpdateOverlayZOrder(DWORD, LPDIRECTDRAWSURFACE) override {
    return Unsupported("IDirectDrawSurface::UpdateOverlayZOrder", name);
  }
};

struct Palette;
struct DirectDraw;

// The objects made during the scenario.
struct Objects {
  std::vector<std::unique_ptr<Surface>> surfaces;
  std::vector<std::unique_ptr<Palette>> palettes;
  std::unique_ptr<DirectDraw> directDraw;
};

Objects& O() {
  static Objects objects;
  return objects;
}

Surface* NewSurface(const std::string& name) {
  O().surfaces.push_back(std::make_unique<Surface>(name));
  FakeHandOut("surface " + name, FakeKey(O().surfaces.back().get()));
  return O().surfaces.back().get();
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* surface) {
  const HRESULT result = Call("GetAttachedSurface", {FakeHex(caps ? caps->dwCaps : 0)});
  *surface = result == DD_OK ? NewSurface("back") : nullptr;
  return result;
}

struct DirectDraw final : IDirectDraw {
  int references = 1;

  HRESULT Call(const std::string& method, std::vector<std::string> args = {},
               HRESULT ordinary = DD_OK) {
    const std::string call = "IDirectDraw::" + method;
    RecordCall(call, std::move(args));
    return Result(call, ordinary);
  }

  HRESULT QueryInterface(REFIID, void**) override {
    return Call("QueryInterface", {}, DDERR_UNSUPPORTED);
  }
  ULONG AddRef() override {
    FakeHandOut("DirectDraw", FakeKey(this));
    return ++references;
  }
  ULONG Release() override {
    Call("Release");
    FakeTakeBack("DirectDraw", FakeKey(this));
    return --references;
  }
  HRESULT Compact() override { return Call("Compact", {}, DDERR_UNSUPPORTED); }
  HRESULT CreateClipper(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) override {
    return Call("CreateClipper", {}, DDERR_UNSUPPORTED);
  }
  HRESULT CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                        IUnknown* outer) override {
    const std::string first = FakeNum(entries[0].peRed) + " " + FakeNum(entries[0].peGreen) + " " +
                              FakeNum(entries[0].peBlue) + " " + FakeNum(entries[0].peFlags);
    const HRESULT result = Call("CreatePalette", {FakeHex(flags), first, FakeHex(outer)});
    if (result != DD_OK) {
      *palette = nullptr;
      return result;
    }
    O().palettes.push_back(std::make_unique<Palette>());
    O().palettes.back()->entries.assign(entries, entries + 256);
    *palette = O().palettes.back().get();
    FakeHandOut("palette", FakeKey(*palette));
    return result;
  }
  HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                        IUnknown* outer) override {
    const HRESULT result = Call(
        "CreateSurface",
        {"size=" + FakeNum(desc->dwSize) + " flags=" + FakeHex(desc->dwFlags) + " " +
             FakeNum(desc->dwWidth) + "x" + FakeNum(desc->dwHeight) +
             " back=" + FakeNum(desc->dwBackBufferCount) + " caps=" + FakeHex(desc->ddsCaps.dwCaps),
         FakeHex(outer)});
    if (result != DD_OK) {
      *surface = nullptr;
      return result;
    }
    *surface =
        NewSurface((desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) ? "primary" : "offscreen");
    return result;
  }
  HRESULT DuplicateSurface(LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*) override {
    return Call("DuplicateSurface", {}, DDERR_UNSUPPORTED);
  }
  HRESULT EnumDisplayModes(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK) override {
    return Call("EnumDisplayModes", {}, DDERR_UNSUPPORTED);
  }
  HRESULT EnumSurfaces(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK) override {
    return Call("EnumSurfaces", {}, DDERR_UNSUPPORTED);
  }
  HRESULT FlipToGDISurface() override { return Call("FlipToGDISurface"); }
  HRESULT GetCaps(LPDDCAPS, LPDDCAPS) override { return Call("GetCaps", {}, DDERR_UNSUPPORTED); }
  HRESULT GetDisplayMode(LPDDSURFACEDESC) override {
    return Call("GetDisplayMode", {}, DDERR_UNSUPPORTED);
  }
  HRESULT GetFourCCCodes(LPDWORD, LPDWORD) override {
    return Call("GetFourCCCodes", {}, DDERR_UNSUPPORTED);
  }
  HRESULT GetGDISurface(LPDIRECTDRAWSURFACE*) override {
    return Call("GetGDISurface", {}, DDERR_UNSUPPORTED);
  }
  HRESULT GetMonitorFrequency(LPDWORD) override {
    return Call("GetMonitorFrequency", {}, DDERR_UNSUPPORTED);
  }
  HRESULT GetScanLine(LPDWORD) override { return Call("GetScanLine", {}, DDERR_UNSUPPORTED); }
  HRESULT GetVerticalBlankStatus(LPBOOL) override {
    return Call("GetVerticalBlankStatus", {}, DDERR_UNSUPPORTED);
  }
  HRESULT Initialize(GUID*) override { return Call("Initialize", {}, DDERR_UNSUPPORTED); }
  HRESULT RestoreDisplayMode() override {
    const HRESULT result = Call("RestoreDisplayMode");
    if (result == DD_OK) FakeRestoreDisplayMode();
    return result;
  }
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
    return Call("SetCooperativeLevel", {FakeHex(window), FakeHex(flags)});
  }
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp) override {
    const HRESULT result = Call("SetDisplayMode", {FakeNum(width), FakeNum(height), FakeNum(bpp)});
    if (result == DD_OK) FakeSetDisplayMode(static_cast<int>(width), static_cast<int>(height));
    return result;
  }
  HRESULT WaitForVerticalBlank(DWORD, HANDLE) override {
    return Call("WaitForVerticalBlank", {}, DDERR_UNSUPPORTED);
  }
};

const bool registered = RegisterFakeReset([] {
  S() = Script{};
  O().surfaces.clear();
  O().palettes.clear();
  O().directDraw.reset();
});

}  // namespace

void FakeDirectDrawStickyResult(const std::string& call, HRESULT result) {
  S().sticky[call] = result;
}

void FakeDirectDrawSetLockPitch(LONG pitch) {
  S().pitch = pitch;
}

const std::vector<std::uint8_t>& FakeOffscreenMemory() {
  for (const auto& surface : O().surfaces)
    if (surface->name == "offscreen") return surface->memory;
  return kNoMemory;
}

std::vector<PALETTEENTRY> FakePaletteEntries() {
  if (O().palettes.empty()) return {};
  return O().palettes.back()->entries;
}

int FakeDirectDrawReferencesLeft() {
  int left = 0;
  for (const auto& surface : O().surfaces) left += surface->references != 0;
  for (const auto& palette : O().palettes) left += palette->references != 0;
  if (O().directDraw) left += O().directDraw->references != 0;
  return left;
}

HRESULT DirectDrawCreate(GUID* driver, LPDIRECTDRAW* directDraw, IUnknown* outer) {
  RecordCall("DirectDrawCreate", {FakeHex(driver), FakeHex(outer)});
  const HRESULT result = Result("DirectDrawCreate");
  if (result != DD_OK) {
    *directDraw = nullptr;
    return result;
  }
  O().directDraw = std::make_unique<DirectDraw>();
  *directDraw = O().directDraw.get();
  FakeHandOut("DirectDraw", FakeKey(*directDraw));
  return result;
}
