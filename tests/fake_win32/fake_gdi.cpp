// The GDI area of the fake: stock objects, DIB sections with real pixel memory and a colour table,
// memory device contexts with the object selected into each, and the copies to a window.
#include "fake_win32/fake_gdi.h"

#include <map>
#include <memory>
#include <string>

#include "fake_win32/fake_calls.h"
#include "fake_win32/fake_ledger.h"

namespace {

struct Dib {
  std::vector<std::uint8_t> pixels;
  std::vector<RGBQUAD> colours;
};

struct State {
  std::map<HGDIOBJ, std::unique_ptr<Dib>> dibs;
  std::map<HDC, HGDIOBJ> selected;  // memory DC -> the object selected into it
  std::uintptr_t nextHandle = 0x6D10;
};

State& S() {
  static State state;
  return state;
}

const bool registered = RegisterFakeReset([] { S() = State{}; });

std::string Num(long long value) {
  return std::to_string(value);
}
std::string Hex(const void* p) {
  return FakeHex(reinterpret_cast<std::uintptr_t>(p));
}

template <typename Handle>
Handle NewHandle() {
  Handle handle = reinterpret_cast<Handle>(S().nextHandle);
  S().nextHandle += 0x10;
  return handle;
}

// The object a DC starts with; what SelectObject displaces the first time.
HGDIOBJ const kDefaultBitmap = reinterpret_cast<HGDIOBJ>(0x0B0);

}  // namespace

std::vector<RGBQUAD> FakeDibColours(HDC dc) {
  auto selected = S().selected.find(dc);
  if (selected == S().selected.end()) return {};
  auto dib = S().dibs.find(selected->second);
  if (dib == S().dibs.end()) return {};
  return dib->second->colours;
}

HGDIOBJ GetStockObject(int object) {
  RecordCall("GetStockObject", {Num(object)});
  return reinterpret_cast<HGDIOBJ>(0x5700 + object);
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
  if (info == nullptr) {
    RecordCall("CreateDIBSection", {Hex(dc), "null"});
    if (bits) *bits = nullptr;
    return nullptr;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  RecordCall("CreateDIBSection", {Hex(dc),
                                  "size=" + Num(h.biSize) + " " + Num(h.biWidth) + "x" +
                                      Num(h.biHeight) + " planes=" + Num(h.biPlanes) + " bits=" +
                                      Num(h.biBitCount) + " compression=" + Num(h.biCompression) +
                                      " image=" + Num(h.biSizeImage) + " used=" + Num(h.biClrUsed),
                                  Num(usage), Hex(section), Num(offset)});
  std::int64_t result = 1;
  if ((TakeScriptedResult("CreateDIBSection", &result) && result == 0) || h.biBitCount != 8) {
    if (bits) *bits = nullptr;
    return nullptr;
  }
  auto dib = std::make_unique<Dib>();
  const long height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  dib->pixels.assign(static_cast<std::size_t>(h.biWidth * height), 0);
  dib->colours.assign(info->bmiColors, info->bmiColors + 256);
  *bits = dib->pixels.data();
  HBITMAP handle = NewHandle<HBITMAP>();
  S().dibs[handle] = std::move(dib);
  FakeHandOut("bitmap", FakeKey(handle));
  return handle;
}

HDC CreateCompatibleDC(HDC dc) {
  RecordCall("CreateCompatibleDC", {Hex(dc)});
  std::int64_t result = 1;
  if (TakeScriptedResult("CreateCompatibleDC", &result) && result == 0) return nullptr;
  HDC handle = NewHandle<HDC>();
  S().selected[handle] = kDefaultBitmap;
  FakeHandOut("memory DC", FakeKey(handle));
  return handle;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  RecordCall("SelectObject", {Hex(dc), Hex(object)});
  auto found = S().selected.find(dc);
  if (found == S().selected.end() || object == nullptr) return nullptr;
  HGDIOBJ previous = found->second;
  found->second = object;
  return previous;
}

BOOL DeleteDC(HDC dc) {
  RecordCall("DeleteDC", {Hex(dc)});
  FakeTakeBack("memory DC", FakeKey(dc));
  return S().selected.erase(dc) == 1;
}

BOOL DeleteObject(HGDIOBJ object) {
  RecordCall("DeleteObject", {Hex(object)});
  // An object still selected into a DC cannot be deleted.
  for (const auto& entry : S().selected)
    if (entry.second == object) return FALSE;  // still held: the ledger keeps it
  FakeTakeBack("bitmap", FakeKey(object));
  return S().dibs.erase(object) == 1;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop) {
  RecordCall("BitBlt", {Hex(dest), Num(x), Num(y), Num(width), Num(height), Hex(source),
                        Num(sourceX), Num(sourceY), FakeHex(rop)});
  return TRUE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop) {
  RecordCall("StretchBlt",
             {Hex(dest), Num(x), Num(y), Num(width), Num(height), Hex(source), Num(sourceX),
              Num(sourceY), Num(sourceWidth), Num(sourceHeight), FakeHex(rop)});
  return TRUE;
}

int SetStretchBltMode(HDC dc, int mode) {
  RecordCall("SetStretchBltMode", {Hex(dc), Num(mode)});
  return 1;  // BLACKONWHITE, a new DC's mode
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  RecordCall("PatBlt", {Hex(dc), Num(x), Num(y), Num(width), Num(height), FakeHex(rop)});
  return TRUE;
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors) {
  RecordCall("SetDIBColorTable", {Hex(dc), Num(start), Num(count), Hex(colors)});
  auto selected = S().selected.find(dc);
  if (selected == S().selected.end()) return 0;
  auto dib = S().dibs.find(selected->second);
  if (dib == S().dibs.end() || colors == nullptr) return 0;
  for (UINT i = 0; i < count && start + i < 256; ++i) dib->second->colours[start + i] = colors[i];
  return count;
}

HDC GetDC(HWND window) {
  RecordCall("GetDC", {Hex(window)});
  HDC dc = reinterpret_cast<HDC>(0xDC1);
  FakeHandOut("window DC", FakeKey(dc));
  return dc;
}

int ReleaseDC(HWND window, HDC dc) {
  RecordCall("ReleaseDC", {Hex(window), Hex(dc)});
  FakeTakeBack("window DC", FakeKey(dc));
  return 1;
}
