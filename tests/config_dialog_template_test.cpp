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

const LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

const void* ResourceIn(LANGID language, int id, LPCSTR type, DWORD* size) {
  const HRSRC found = FindResourceExA(nullptr, type, MAKEINTRESOURCEA(id), language);
  if (!found) return nullptr;
  *size = SizeofResource(nullptr, found);
  return LockResource(LoadResource(nullptr, found));
}

const void* JapaneseResource(int id, LPCSTR type, DWORD* size) {
  return ResourceIn(kJapanese, id, type, size);
}

// What must be the same in every language of the template: the frame and, control by control,
// style, place, id and class. The texts are what differs.
struct Layout {
  std::vector<std::wstring> shape;  // one line per control, and one for the frame
  std::vector<std::wstring> texts;  // the caption, the font, then each control's text
};

Layout ReadLayout(LANGID language) {
  DWORD size = 0;
  const auto* words = static_cast<const WORD*>(ResourceIn(language, IDD_CONFIG, RT_DIALOG, &size));
  Layout layout;
  if (!words) return layout;
  Reader read{words};
  std::wstring frame = std::to_wstring(read.Dword()) + L" " + std::to_wstring(read.Dword());
  const WORD count = read.Word();
  for (int i = 0; i < 4; ++i) frame += L" " + std::to_wstring(static_cast<short>(read.Word()));
  frame += L" " + read.Text() + L"|" + read.Text();  // menu, class
  layout.shape.push_back(frame);
  layout.texts.push_back(read.Text());
  const WORD points = read.Word();
  layout.texts.push_back(read.Text() + L" " + std::to_wstring(points));
  for (WORD i = 0; i < count; ++i) {
    read.AlignToDword();
    std::wstring control = std::to_wstring(read.Dword());
    control += L" " + std::to_wstring(read.Dword());
    for (int k = 0; k < 4; ++k) control += L" " + std::to_wstring(static_cast<short>(read.Word()));
    control += L" #" + std::to_wstring(static_cast<short>(read.Word()));
    control += L" " + Lower(read.Text());
    layout.shape.push_back(control);
    layout.texts.push_back(read.Text());
    read.at += 1 + *read.at / 2;  // creation data
  }
  return layout;
}

// The string table entries the dialog procedure loads, in one language ("" where missing).
std::vector<std::wstring> InsertedTexts(LANGID language) {
  std::vector<std::wstring> texts;
  for (int id = IDS_PALETTE_ANIMATE; id <= IDS_BROWSER_WARNING_CAPTION; ++id) {
    DWORD size = 0;
    const auto* block =
        static_cast<const WORD*>(ResourceIn(language, id / 16 + 1, RT_STRING, &size));
    std::wstring text;
    // A block holds 16 counted strings; skip to the id's own.
    for (int k = 0; block && k <= id % 16; ++k) {
      text.assign(reinterpret_cast<const wchar_t*>(block + 1), *block);
      block += 1 + *block;
    }
    texts.push_back(text);
  }
  return texts;
}

bool Ascii(const std::wstring& text) {
  for (wchar_t c : text)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
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

// The English template is the Japanese one with English texts in a font every Windows has; only
// plain ASCII, so that no code page turns it into question marks.
TEST(ConfigDialogTemplate, EnglishTemplateHasTheJapaneseLayout) {
  const Layout japanese = ReadLayout(kJapanese), english = ReadLayout(kEnglish);
  ASSERT_EQ(japanese.shape.size(), 37u);
  EXPECT_EQ(english.shape, japanese.shape);
  ASSERT_EQ(english.texts.size(), japanese.texts.size());
  EXPECT_EQ(english.texts[0], L"Glimra settings");
  EXPECT_EQ(english.texts[1], L"MS Shell Dlg 8");
  for (std::size_t i = 0; i < english.texts.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(Ascii(english.texts[i]));
    EXPECT_EQ(english.texts[i].empty(), japanese.texts[i].empty());
  }
}

TEST(ConfigDialogTemplate, BothLanguagesHoldEveryInsertedText) {
  EXPECT_EQ(InsertedTexts(kJapanese),
            (std::vector<std::wstring>{L"アニメーション", L"シフト", L"固定", L"紅葉", L"若葉",
                                       L"水面", L"桜", L"HTTPブラウザを起動できませんでした。",
                                       L"Glimra スクリーンセーバー"}));
  for (const std::wstring& text : InsertedTexts(kEnglish)) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    EXPECT_FALSE(text.empty());
    EXPECT_TRUE(Ascii(text));
  }
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
