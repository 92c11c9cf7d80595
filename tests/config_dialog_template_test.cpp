// The compiled dialog template IDD_CONFIG and picture 102, read back from the test program's own
// resources: the dialog's frame, caption and font, the keyboard order its styles give, and the
// picture's size.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

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
  EXPECT_EQ(read.Word(), 36);
  const short frame[] = {0, 0, 232, 299};
  for (short value : frame) EXPECT_EQ(static_cast<short>(read.Word()), value);
  EXPECT_EQ(read.Text(), L"");  // no menu
  EXPECT_EQ(read.Text(), L"");  // the standard dialog class
  EXPECT_EQ(read.Text(), L"グリムラの設定");
  EXPECT_EQ(read.Word(), 9);
  EXPECT_EQ(read.Text(), L"ＭＳ Ｐゴシック");
}

// The compiled styles decide the keyboard order; windres adds bits of its own to the short control
// forms, so this reads them back rather than trusting the script.
TEST(ConfigDialogTemplate, TabStopsAndRadioGroupsAreAsIntended) {
  DWORD size = 0;
  const auto* words = static_cast<const WORD*>(JapaneseResource(IDD_CONFIG, RT_DIALOG, &size));
  ASSERT_NE(words, nullptr);
  Reader read{words};
  read.Dword();
  read.Dword();
  const WORD count = read.Word();
  read.at += 4;  // frame
  read.Text();   // menu
  read.Text();   // class
  read.Text();   // caption
  read.Word();   // point size
  read.Text();   // font name
  std::vector<int> tabStops;
  for (WORD i = 0; i < count; ++i) {
    read.AlignToDword();
    const DWORD style = read.Dword();
    read.at += 2 + 4;  // extended style, place
    const int id = static_cast<short>(read.Word());
    const std::wstring className = Lower(read.Text());
    const std::wstring text = read.Text();
    read.at += 1 + *read.at / 2;  // creation data
    SCOPED_TRACE(id);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), DWORD{WS_CHILD | WS_VISIBLE});
    if (style & WS_TABSTOP) tabStops.push_back(id);
    // Each radio button starts a group of its own; the procedure keeps them exclusive.
    if (id == IDC_ENLARGE || id == IDC_TILE) {
      EXPECT_EQ(style & (0xF | WS_GROUP), DWORD{BS_AUTORADIOBUTTON | WS_GROUP});
    }
    if (className == L"static" && (style & 0xF) == SS_BITMAP) {
      EXPECT_EQ(text, L"#102");
    }
  }
  EXPECT_EQ(count, 36);
  EXPECT_EQ(tabStops, (std::vector<int>{IDOK, IDCANCEL, IDC_CIR, IDC_DX_R, IDC_DX_G, IDC_DX_B,
                                        IDC_HOMEPAGE, IDC_CYCLE, IDC_PALETTE, IDC_DIRECT_X}));
  // The walk ends exactly at the resource's end: every control was read whole.
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
