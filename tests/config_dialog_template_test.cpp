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

// IDD_CONFIG in one language as compiled: the frame, then each control, read whole.
struct Control {
  DWORD style;
  DWORD exStyle;
  short place[4];
  int id;
  std::wstring className;  // in lower case
  std::wstring text;
};
struct Template {
  DWORD style = 0;
  DWORD exStyle = 0;
  WORD count = 0;
  short frame[4] = {};
  std::wstring menu, windowClass, caption;
  WORD points = 0;
  std::wstring font;
  std::vector<Control> controls;
  std::ptrdiff_t bytesRead = -1;  // -1: no such template
  DWORD size = 0;
};

Template ReadTemplate(LANGID language) {
  Template t;
  const auto* words =
      static_cast<const WORD*>(ResourceIn(language, IDD_CONFIG, RT_DIALOG, &t.size));
  if (!words) return t;
  Reader read{words};
  t.style = read.Dword();
  t.exStyle = read.Dword();
  t.count = read.Word();
  for (short& value : t.frame) value = static_cast<short>(read.Word());
  t.menu = read.Text();
  t.windowClass = read.Text();
  t.caption = read.Text();
  t.points = read.Word();
  t.font = read.Text();
  for (WORD i = 0; i < t.count; ++i) {
    read.AlignToDword();
    Control c{};
    c.style = read.Dword();
    c.exStyle = read.Dword();
    for (short& value : c.place) value = static_cast<short>(read.Word());
    c.id = static_cast<short>(read.Word());
    c.className = Lower(read.Text());
    c.text = read.Text();
    read.at += 1 + *read.at / 2;  // creation data
    t.controls.push_back(c);
  }
  t.bytesRead = reinterpret_cast<const BYTE*>(read.at) - reinterpret_cast<const BYTE*>(words);
  return t;
}

// What must be the same in every language of the template: the frame and, control by control,
// style, place, id and class. The texts are what differs.
struct Layout {
  std::vector<std::wstring> shape;  // one line per control, and one for the frame
  std::vector<std::wstring> texts;  // the caption, the font, then each control's text
};

Layout ReadLayout(LANGID language) {
  const Template t = ReadTemplate(language);
  Layout layout;
  if (t.bytesRead < 0) return layout;
  const auto number = [](auto value) { return std::to_wstring(value); };
  std::wstring frame = number(t.style) + L" " + number(t.exStyle);
  for (short value : t.frame) frame += L" " + number(value);
  layout.shape.push_back(frame + L" " + t.menu + L"|" + t.windowClass);
  layout.texts.push_back(t.caption);
  layout.texts.push_back(t.font + L" " + number(t.points));
  for (const Control& c : t.controls) {
    std::wstring control = number(c.style) + L" " + number(c.exStyle);
    for (short value : c.place) control += L" " + number(value);
    layout.shape.push_back(control + L" #" + number(c.id) + L" " + c.className);
    layout.texts.push_back(c.text);
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
  const Template t = ReadTemplate(kJapanese);
  ASSERT_GE(t.bytesRead, 0) << "IDD_CONFIG in Japanese";
  EXPECT_EQ(t.style, DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT});
  EXPECT_EQ(t.exStyle, 0u);
  EXPECT_EQ(t.count, 36);
  const short frame[] = {0, 0, 232, 299};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(t.frame[i], frame[i]);
  EXPECT_EQ(t.menu, L"");         // no menu
  EXPECT_EQ(t.windowClass, L"");  // the standard dialog class
  EXPECT_EQ(t.caption, L"グリムラの設定");
  EXPECT_EQ(t.points, 9);
  EXPECT_EQ(t.font, L"ＭＳ Ｐゴシック");
}

// The compiled styles decide the keyboard order; windres adds bits of its own to the short control
// forms, so this reads them back rather than trusting the script.
TEST(ConfigDialogTemplate, TabStopsAndRadioGroupsAreAsIntended) {
  const Template t = ReadTemplate(kJapanese);
  ASSERT_GE(t.bytesRead, 0);
  std::vector<int> tabStops;
  for (const Control& c : t.controls) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(c.style & (WS_CHILD | WS_VISIBLE), DWORD{WS_CHILD | WS_VISIBLE});
    if (c.style & WS_TABSTOP) tabStops.push_back(c.id);
    // Each radio button starts a group of its own; the procedure keeps them exclusive.
    if (c.id == IDC_ENLARGE || c.id == IDC_TILE) {
      EXPECT_EQ(c.style & (0xF | WS_GROUP), DWORD{BS_AUTORADIOBUTTON | WS_GROUP});
    }
    if (c.className == L"static" && (c.style & 0xF) == SS_BITMAP) {
      EXPECT_EQ(c.text, L"#102");
    }
  }
  EXPECT_EQ(t.count, 36);
  EXPECT_EQ(tabStops, (std::vector<int>{IDOK, IDCANCEL, IDC_CIR, IDC_DX_R, IDC_DX_G, IDC_DX_B,
                                        IDC_HOMEPAGE, IDC_CYCLE, IDC_PALETTE, IDC_DIRECT_X}));
  // The walk ends exactly at the resource's end: every control was read whole.
  EXPECT_EQ(t.bytesRead, static_cast<std::ptrdiff_t>(t.size));
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
