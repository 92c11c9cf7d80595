// Scenario tests of the configuration dialog on the recording Win32 fake: what the opening shows
// for stored settings (in range or not), what OK writes to the real settings file, that Cancel
// writes nothing, and the home-page button with a browser that does or does not start.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_win32/fake_calls.h"
#include "fake_win32/fake_dialog.h"
#include "resources/resource.h"
#include "settings/config_dialog.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"
#include "settings_file.h"

namespace {

const HWND kDialog = reinterpret_cast<HWND>(0x4242);

std::string Item(int id) {
  return "item " + std::to_string(id);
}
std::string Hex(HWND window) {
  return FakeHex(reinterpret_cast<std::uintptr_t>(window));
}

class ConfigDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFreshSettingsFile();
    ResetFake();
  }
  // The file's section as the store writes it, each line ended by CRLF.
  static std::string Ini(const std::vector<std::string>& lines) {
    std::string text = "[Glimra ScreenSaver]\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
  }
  // Loads what the file holds, as the start-up does, and opens the dialog.
  static INT_PTR Open(const std::string& ini = "") {
    if (!ini.empty()) WriteSettingsFile(ini);
    LoadSettings();
    ResetFake();
    return ConfigDialogProc(kDialog, WM_INITDIALOG, 0, 0);
  }
  static INT_PTR Command(WPARAM wParam) { return ConfigDialogProc(kDialog, WM_COMMAND, wParam, 0); }
  static std::vector<FakeCall> CallsAmong(const std::vector<std::string>& names) {
    std::vector<FakeCall> found;
    for (const FakeCall& call : FakeCalls())
      for (const std::string& name : names)
        if (call.name == name) found.push_back(call);
    return found;
  }
};

const std::vector<std::string> kPaletteNames = {"アニメーション", "シフト", "固定", "紅葉",
                                                "若葉",           "水面",   "桜"};

TEST_F(ConfigDialogTest, OpeningWithDefaultsMakesTheCallsInOrder) {
  EXPECT_EQ(Open(), TRUE);

  std::vector<std::vector<std::string>> expected = {
      {"SetFocus", Hex(FakeDialogItem(IDOK))},
      {"SendMessageA", Item(IDC_CIR), "TBM_SETRANGE", "1", "MAKELPARAM(0,3)"},
      {"SendMessageA", Item(IDC_CIR), "TBM_SETPOS", "1", "1"},
      {"SendMessageA", Item(IDC_DX_R), "TBM_SETRANGE", "1", "MAKELPARAM(0,100)"},
      {"SendMessageA", Item(IDC_DX_R), "TBM_SETPOS", "1", "5"},
      {"SendMessageA", Item(IDC_DX_G), "TBM_SETRANGE", "1", "MAKELPARAM(0,100)"},
      {"SendMessageA", Item(IDC_DX_G), "TBM_SETPOS", "1", "10"},
      {"SendMessageA", Item(IDC_DX_B), "TBM_SETRANGE", "1", "MAKELPARAM(0,100)"},
      {"SendMessageA", Item(IDC_DX_B), "TBM_SETPOS", "1", "3"},
      {"SendMessageA", Item(IDC_CYCLE), "TBM_SETRANGE", "1", "MAKELPARAM(1,20)"},
      {"SendMessageA", Item(IDC_CYCLE), "TBM_SETPOS", "1", "1"},
      {"CheckRadioButton", Hex(kDialog), "103", "104", "103"},
      {"CheckDlgButton", Hex(kDialog), "108", "0"},
  };
  for (std::size_t i = 0; i < kPaletteNames.size(); ++i)
    expected.push_back({"SendMessageW", Item(IDC_PALETTE), "CB_INSERTSTRING", std::to_string(i),
                        kPaletteNames[i]});
  expected.push_back({"SendMessageA", Item(IDC_PALETTE), "CB_SETCURSEL", "0", "0"});

  std::vector<std::vector<std::string>> made;
  for (const FakeCall& call : CallsAmong(
           {"SetFocus", "SendMessageA", "SendMessageW", "CheckRadioButton", "CheckDlgButton"})) {
    made.push_back({call.name});
    made.back().insert(made.back().end(), call.args.begin(), call.args.end());
  }
  EXPECT_EQ(made, expected);
  EXPECT_EQ(FakeControlState(IDC_PALETTE).entries, kPaletteNames);
  EXPECT_EQ(CountCalls("SendMessageA") + CountCalls("SendMessageW"), 18);  // nothing else sent
}

// What the controls show for stored values, and the position the dialog itself hands each
// trackbar (a real trackbar clamps too, but a speed must be clamped before it becomes an int).
struct Shown {
  std::vector<std::string> stored;  // key=value lines of the file
  int cir, dxR, dxG, dxB, cycle;
  UINT enlarge, tile, directX;
  int selection;
};

TEST_F(ConfigDialogTest, ShowsStoredValuesClampedToTheControls) {
  const Shown cases[] = {
      {{}, 1, 5, 10, 3, 1, BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, 0},
      {{"cir=7", "cycle=25", "pal=9"}, 3, 5, 10, 3, 20, BST_CHECKED, BST_UNCHECKED, 0, CB_ERR},
      {{"cir=-2", "cycle=0", "pal=-1"}, 0, 5, 10, 3, 1, BST_CHECKED, BST_UNCHECKED, 0, CB_ERR},
      // -1 reads as 4294967295.0; 0x7fffffff and 101 are above the range too.
      {{"dx_r=-1", "dx_g=0x7fffffff", "dx_b=101"}, 1, 100, 100, 100, 1, 1, 0, 0, 0},
      {{"dx_r=0", "dx_g=100", "dx_b=99"}, 1, 0, 100, 99, 1, 1, 0, 0, 0},
      {{"one=0", "direct_x=1", "pal=0"}, 1, 5, 10, 3, 1, BST_UNCHECKED, BST_CHECKED, 1, 2},
      {{"one=-5", "pal=6"}, 1, 5, 10, 3, 1, BST_CHECKED, BST_UNCHECKED, 0, 6},
      {{"pal=2"}, 1, 5, 10, 3, 1, 1, 0, 0, 1},
      {{"pal=3"}, 1, 5, 10, 3, 1, 1, 0, 0, 3},
  };
  for (const Shown& c : cases) {
    SetUp();
    Open(c.stored.empty() ? "" : Ini(c.stored));
    SCOPED_TRACE(::testing::PrintToString(c.stored));
    const std::pair<int, int> bars[] = {{IDC_CIR, c.cir},
                                        {IDC_DX_R, c.dxR},
                                        {IDC_DX_G, c.dxG},
                                        {IDC_DX_B, c.dxB},
                                        {IDC_CYCLE, c.cycle}};
    for (const auto& [id, position] : bars) {
      EXPECT_EQ(FakeControlState(id).position, position) << "trackbar " << id;
      for (const FakeCall& call : CallsAmong({"SendMessageA"})) {
        if (call.args[0] == Item(id) && call.args[1] == "TBM_SETPOS") {
          EXPECT_EQ(call.args[3], std::to_string(position)) << "trackbar " << id;
        }
      }
    }
    EXPECT_EQ(FakeControlState(IDC_ENLARGE).check, c.enlarge);
    EXPECT_EQ(FakeControlState(IDC_TILE).check, c.tile);
    EXPECT_EQ(FakeControlState(IDC_DIRECT_X).check, c.directX);
    EXPECT_EQ(FakeControlState(IDC_PALETTE).selection, c.selection);
    // No selection is left alone rather than asked for with an invalid index.
    if (c.selection == CB_ERR) {
      EXPECT_EQ(CountCalls("SendMessageA"), 10);
    }
  }
}

// OK reads every control and writes all eight keys in their order, whatever was changed.
struct Confirmed {
  const char* what;
  std::vector<std::string> stored;
  std::function<void()> user;
  std::vector<std::string> written;
};

TEST_F(ConfigDialogTest, OkWritesTheEightKeysAsShown) {
  const Confirmed cases[] = {
      {"defaults untouched",
       {},
       [] {},
       {"dx_r=5", "dx_g=10", "dx_b=3", "one=1", "pal=1", "cir=1", "cycle=1", "direct_x=0"}},
      {"out-of-range values untouched",
       {"dx_r=-1", "dx_g=2", "dx_b=250", "one=3", "pal=9", "cir=7", "cycle=30", "direct_x=0"},
       [] {},
       {"dx_r=100", "dx_g=2", "dx_b=100", "one=1", "pal=9", "cir=3", "cycle=20", "direct_x=0"}},
      {"every control changed",
       {},
       [] {
         FakeMoveTrackbar(IDC_DX_R, 0);
         FakeMoveTrackbar(IDC_DX_G, 77);
         FakeMoveTrackbar(IDC_DX_B, 100);
         FakeMoveTrackbar(IDC_CIR, 3);
         FakeMoveTrackbar(IDC_CYCLE, 20);
         FakeSetCheck(IDC_TILE, BST_CHECKED);
         Command(IDC_TILE);
         FakeSetCheck(IDC_DIRECT_X, BST_CHECKED);
         FakeSelectEntry(IDC_PALETTE, 2);  // "固定"
       },
       {"dx_r=0", "dx_g=77", "dx_b=100", "one=0", "pal=0", "cir=3", "cycle=20", "direct_x=1"}},
      {"fixed palette back to animation",
       {"pal=0"},
       [] { FakeSelectEntry(IDC_PALETTE, 0); },
       {"pal=1", "dx_r=5", "dx_g=10", "dx_b=3", "one=1", "cir=1", "cycle=1", "direct_x=0"}},
      {"an entry picked over a stored 9",
       {"pal=9"},
       [] { FakeSelectEntry(IDC_PALETTE, 6); },
       {"pal=6", "dx_r=5", "dx_g=10", "dx_b=3", "one=1", "cir=1", "cycle=1", "direct_x=0"}},
      {"tile, then enlarge again",
       {"one=0"},
       [] {
         Command(IDC_TILE);
         Command(IDC_ENLARGE);
       },
       {"one=1", "dx_r=5", "dx_g=10", "dx_b=3", "pal=1", "cir=1", "cycle=1", "direct_x=0"}},
  };
  for (const Confirmed& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    Open(c.stored.empty() ? "" : Ini(c.stored));
    c.user();
    EXPECT_EQ(ReadSettingsFile(), c.stored.empty() ? "" : Ini(c.stored)) << "written before OK";
    EXPECT_EQ(Command(IDOK), TRUE);
    // Keys already in the file keep their places; the others follow in the store's order.
    EXPECT_EQ(ReadSettingsFile(), Ini(c.written));
    INT_PTR result = -1;
    EXPECT_TRUE(FakeDialogEnded(&result));
    EXPECT_EQ(result, 0);
  }
}

TEST_F(ConfigDialogTest, CancelAndTheCloseBoxWriteNothing) {
  // The high word (the notification code) is not looked at.
  for (WPARAM cancel : {WPARAM{IDCANCEL}, WPARAM{0x12340000u | IDCANCEL}}) {
    SetUp();
    const std::string stored = Ini({"one=1", "pal=9", "cir=7"});
    Open(stored);
    Command(IDC_TILE);
    EXPECT_EQ(saverSettings.one, 0);  // the radio buttons change `one` at once
    EXPECT_EQ(Command(cancel), TRUE);
    EXPECT_TRUE(FakeDialogEnded());
    EXPECT_EQ(ReadSettingsFile(), stored);
  }
  SetUp();
  Open();
  Command(IDCANCEL);
  EXPECT_FALSE(SettingsFileExists());
}

TEST_F(ConfigDialogTest, RadioButtonsStayExclusiveAndOtherCommandsDoNothing) {
  Open();
  ResetFake();
  EXPECT_EQ(Command(IDC_TILE), TRUE);
  EXPECT_EQ(saverSettings.one, 0);
  EXPECT_EQ(Command(0x00010000u | IDC_ENLARGE), TRUE);
  EXPECT_EQ(saverSettings.one, 1);
  ASSERT_EQ(CountCalls("CheckRadioButton"), 2);
  EXPECT_EQ(FakeCalls()[0].args, (std::vector<std::string>{Hex(kDialog), "103", "104", "104"}));
  EXPECT_EQ(FakeCalls()[1].args, (std::vector<std::string>{Hex(kDialog), "103", "104", "103"}));

  ResetFake();
  for (WPARAM id : {IDC_DIRECT_X, IDC_PALETTE, IDC_CIR, IDC_CYCLE, 999})
    EXPECT_EQ(Command(id), TRUE);
  EXPECT_EQ(ConfigDialogProc(kDialog, WM_HSCROLL, 0, 0), TRUE);
  EXPECT_TRUE(FakeCalls().empty());
  EXPECT_EQ(ConfigDialogProc(kDialog, 0x0200 /* WM_MOUSEMOVE */, 0, 0), FALSE);
  EXPECT_FALSE(SettingsFileExists());
}

// ShellExecuteA's result decides: above 32 is a started browser; anything else warns once.
TEST_F(ConfigDialogTest, HomePageButtonWarnsOnlyWhenNoBrowserStarts) {
  const struct {
    std::int64_t shellResult;
    bool warns;
  } cases[] = {{33, false}, {42, false}, {32, true}, {11, true}, {2, true}, {0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shellResult);
    SetUp();
    Open();
    ScriptResult("ShellExecuteA", c.shellResult);
    EXPECT_EQ(Command(IDC_HOMEPAGE), TRUE);
    const auto shell = CallsAmong({"ShellExecuteA"});
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].args,
              (std::vector<std::string>{Hex(kDialog), "open", "https://glimra.example/", "null",
                                        "null", std::to_string(SW_SHOWNORMAL)}));
    const auto boxes = CallsAmong({"MessageBoxW"});
    ASSERT_EQ(boxes.size(), c.warns ? 1u : 0u);
    if (c.warns) {
      EXPECT_EQ(boxes[0].args,
                (std::vector<std::string>{Hex(kDialog), "HTTPブラウザを起動できませんでした。",
                                          "Glimra スクリーンセーバー", "0x30"}));
    }
    // The dialog stays open and nothing changes; OK still works afterwards.
    EXPECT_FALSE(FakeDialogEnded());
    EXPECT_FALSE(SettingsFileExists());
    Command(IDOK);
    EXPECT_EQ(ReadSettingsFile(), Ini({"dx_r=5", "dx_g=10", "dx_b=3", "one=1", "pal=1", "cir=1",
                                       "cycle=1", "direct_x=0"}));
  }
}

// Any interface language but Japanese gets the English template; the texts the procedure inserts
// come from the same language's string table, and the entries keep their `pal` values.
TEST_F(ConfigDialogTest, EnglishInterfaceGetsTheEnglishTexts) {
  LoadSettings();
  ResetFake();  // which also brings the language back to Japanese
  FakeSetUiLanguage("LANG_ENGLISH");
  ConfigDialogProc(kDialog, WM_INITDIALOG, 0, 0);
  EXPECT_EQ(FakeControlState(IDC_PALETTE).entries,
            (std::vector<std::string>{"Animation", "Shift", "Fixed", "Autumn leaves",
                                      "Young leaves", "Water surface", "Cherry blossom"}));
  FakeSelectEntry(IDC_PALETTE, 2);  // "Fixed"
  ScriptResult("ShellExecuteA", 2);
  Command(IDC_HOMEPAGE);
  const auto boxes = CallsAmong({"MessageBoxW"});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].args[1], "The web browser could not be started.");
  EXPECT_EQ(boxes[0].args[2], "Glimra Screen Saver");
  Command(IDOK);
  EXPECT_EQ(ReadSettingsFile(), Ini({"dx_r=5", "dx_g=10", "dx_b=3", "one=1", "pal=0", "cir=1",
                                     "cycle=1", "direct_x=0"}));
}

TEST_F(ConfigDialogTest, RegistersTheTrackbarClass) {
  RegisterDialogControls();
  ASSERT_EQ(CountCalls("InitCommonControlsEx"), 1);
  EXPECT_EQ(FakeCalls()[0].args, (std::vector<std::string>{"8", "0x4"}));
  EXPECT_EQ(ICC_BAR_CLASSES, 0x4);
}

}  // namespace
