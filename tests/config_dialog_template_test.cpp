// The compiled dialog template IDD_CONFIG and picture 102, read back from the test program's own
// resources: every control's class, id, text, place and exact style bits in template order (which
// is the tab order), and the picture's size.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/resource.h"

namespace {

struct Control {
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
  short x, y, cx, cy;
  int id;  // -1: none of its own
  const char* className;
  const wchar_t* text;  // null: the picture, by resource number
};

const Control kControls[] = {
    {BS_DEFPUSHBUTTON | WS_TABSTOP, 144, 17, 72, 14, IDOK, "Button", L"OK"},
    {BS_PUSHBUTTON | WS_TABSTOP, 144, 41, 72, 14, IDCANCEL, "Button", L"ｷｬﾝｾﾙ"},
    {SS_LEFT, 25, 24, 20, 8, -1, "Static", L"多い"},
    {TBS_NOTICKS | WS_TABSTOP, 20, 35, 100, 15, IDC_CIR, "msctls_trackbar32", L"Slider1"},
    {SS_LEFT, 100, 24, 25, 8, -1, "Static", L"少ない"},
    {BS_GROUPBOX | BS_LEFT, 10, 10, 120, 44, -1, "Button", L"合成する円の数"},
    {SS_LEFT, 25, 79, 19, 8, -1, "Static", L"小さい"},
    {SS_LEFT | WS_GROUP, 100, 79, 20, 8, -1, "Static", L"大きい"},
    {SS_LEFT | WS_GROUP, 20, 97, 8, 8, -1, "Static", L"R"},
    {TBS_NOTICKS | WS_TABSTOP, 26, 95, 100, 15, IDC_DX_R, "msctls_trackbar32", L"Slider2"},
    {SS_LEFT | WS_GROUP, 20, 119, 8, 8, -1, "Static", L"G"},
    {TBS_NOTICKS | WS_TABSTOP, 26, 115, 100, 15, IDC_DX_G, "msctls_trackbar32", L"Slider2"},
    {SS_LEFT | WS_GROUP, 20, 139, 8, 8, -1, "Static", L"B"},
    {TBS_NOTICKS | WS_TABSTOP, 26, 135, 100, 15, IDC_DX_B, "msctls_trackbar32", L"Slider2"},
    {BS_GROUPBOX | BS_LEFT, 11, 59, 120, 105, -1, "Button", L"RGB値の変化"},
    {BS_AUTORADIOBUTTON | BS_LEFT | WS_GROUP, 149, 73, 57, 10, IDC_ENLARGE, "Button",
     L"拡大して表示"},
    {BS_AUTORADIOBUTTON | BS_LEFT | WS_GROUP, 149, 88, 68, 10, IDC_TILE, "Button",
     L"タイル状にならべる"},
    {BS_GROUPBOX | BS_LEFT, 141, 61, 78, 40, 100, "Button", L"表示方法"},
    {BS_GROUPBOX | BS_LEFT, 141, 102, 78, 35, -1, "Button", L"パレット"},
    {SS_BITMAP, 165, 219, 18, 19, -1, "Static", nullptr},
    {BS_GROUPBOX, 11, 208, 208, 67, -1, "Button", L""},
    {SS_LEFT, 19, 220, 90, 8, -1, "Static", L"Glimra　ScreenSaver　Ver. 1.1"},
    {SS_LEFT, 19, 236, 69, 9, -1, "Static", L"(C) 2026 Glimra"},
    {SS_LEFT, 95, 236, 52, 8, -1, "Static", L"Glimra project"},
    {SS_LEFT, 59, 260, 75, 8, -1, "Static", L"glimra@example.org"},
    {SS_LEFT, 59, 248, 85, 9, -1, "Static", L"https://glimra.example/"},
    {SS_LEFT, 31, 248, 15, 8, -1, "Static", L"URL:"},
    {SS_LEFT, 31, 260, 22, 8, -1, "Static", L"E-Mail:"},
    {BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP, 11, 280, 208, 14, IDC_HOMEPAGE, "Button",
     L"トヴァレスク・ワークスのHPへGO!"},
    {BS_GROUPBOX | BS_LEFT, 11, 168, 208, 40, -1, "Button", L"合成する基底円の周期"},
    {TBS_NOTICKS | WS_TABSTOP, 40, 182, 146, 24, IDC_CYCLE, "msctls_trackbar32", L""},
    {SS_LEFT, 19, 184, 22, 9, -1, "Static", L"長い"},
    {SS_LEFT, 193, 184, 18, 9, -1, "Static", L"短い"},
    {CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_HASSTRINGS | WS_TABSTOP, 147, 115, 65, 77, IDC_PALETTE,
     "ComboBox", L""},
    {BS_GROUPBOX | BS_LEFT, 141, 140, 78, 26, -1, "Button", L"描画方法"},
    {BS_AUTOCHECKBOX | BS_LEFT | WS_TABSTOP, 150, 151, 56, 10, IDC_DIRECT_X, "Button",
     L"DirectXの使用"},
};

// Reads the WORD-aligned pieces of a classic DLGTEMPLATE one after another.
struct Reader {
  const WORD* at;
  WORD Word() { return *at++; }
  DWORD Dword() {
    const DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
  }
  // A string or, after 0xFFFF, an ordinal written as "#n".
  std::wstring Text() {
    if (*at == 0xFFFF) {
      ++at;
      return L"#" + std::to_wstring(Word());
    }
    std::wstring text;
    while (*at) text += static_cast<wchar_t>(*at++);
    ++at;
    return text;
  }
  void AlignToDword() {
    if (reinterpret_cast<std::uintptr_t>(at) & 2) ++at;
  }
};

std::wstring Widen(const char* text) {
  return std::wstring(text, text + std::strlen(text));
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return text;
}

const void* JapaneseResource(int id, LPCSTR type, DWORD* size) {
  const HRSRC found = FindResourceExA(nullptr, type, MAKEINTRESOURCEA(id),
                                      MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  if (!found) return nullptr;
  *size = SizeofResource(nullptr, found);
  return LockResource(LoadResource(nullptr, found));
}

TEST(ConfigDialogTemplate, HasTheDialogsFrameFontAndCaption) {
  DWORD size = 0;
  const auto* words = static_cast<const WORD*>(JapaneseResource(IDD_CONFIG, RT_DIALOG, &size));
  ASSERT_NE(words, nullptr) << "IDD_CONFIG in Japanese";
  Reader read{words};
  EXPECT_EQ(read.Dword(), DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT});
  EXPECT_EQ(read.Dword(), 0u);  // extended style
  EXPECT_EQ(read.Word(), std::size(kControls));
  const short frame[] = {0, 0, 232, 299};
  for (short value : frame) EXPECT_EQ(static_cast<short>(read.Word()), value);
  EXPECT_EQ(read.Text(), L"");  // no menu
  EXPECT_EQ(read.Text(), L"");  // the standard dialog class
  EXPECT_EQ(read.Text(), L"グリムラの設定");
  EXPECT_EQ(read.Word(), 9);
  EXPECT_EQ(read.Text(), L"ＭＳ Ｐゴシック");
}

TEST(ConfigDialogTemplate, HasEveryControlInTabOrderWithItsExactStyle) {
  DWORD size = 0;
  const auto* words = static_cast<const WORD*>(JapaneseResource(IDD_CONFIG, RT_DIALOG, &size));
  ASSERT_NE(words, nullptr);
  Reader read{words};
  read.Dword();
  read.Dword();
  read.at += 5;  // control count and frame
  read.Text();   // menu
  read.Text();   // class
  read.Text();   // caption
  read.Word();   // point size
  read.Text();   // font name
  for (const Control& expected : kControls) {
    SCOPED_TRACE(expected.text ? std::string(expected.className) + " " +
                                     std::to_string(&expected - kControls + 1)
                               : std::string("picture"));
    read.AlignToDword();
    EXPECT_EQ(read.Dword(), WS_CHILD | WS_VISIBLE | expected.style);
    EXPECT_EQ(read.Dword(), 0u);
    const short place[] = {expected.x, expected.y, expected.cx, expected.cy};
    for (short value : place) EXPECT_EQ(static_cast<short>(read.Word()), value);
    EXPECT_EQ(static_cast<short>(read.Word()), expected.id);
    EXPECT_EQ(Lower(read.Text()), Lower(Widen(expected.className)));
    EXPECT_EQ(read.Text(), expected.text ? std::wstring(expected.text) : L"#102");
    read.at += 1 + *read.at / 2;  // creation data
  }
  EXPECT_EQ(reinterpret_cast<const BYTE*>(read.at) - reinterpret_cast<const BYTE*>(words),
            static_cast<std::ptrdiff_t>(size));
}

TEST(ConfigDialogTemplate, AboutPictureIs5744BytesOf60By78In256Colours) {
  const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_ABOUT_PICTURE), RT_BITMAP);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(SizeofResource(nullptr, found), 5744u);
  const auto* header =
      static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
  EXPECT_EQ(header->biSize, 40u);
  EXPECT_EQ(header->biWidth, 60);
  EXPECT_EQ(header->biHeight, 78);  // positive: bottom-up
  EXPECT_EQ(header->biBitCount, 8);
  EXPECT_EQ(header->biCompression, DWORD{BI_RGB});
}

}  // namespace
