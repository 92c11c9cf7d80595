// The configuration dialog: shows the eight settings in the controls of IDD_CONFIG, reads them
// back and saves them on OK only, and opens the home page from its button. Works directly on the
// process-wide saverSettings that the start-up loaded.
#include "settings/config_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "resources/resource.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

constexpr char kHomePageUrl[] = "https://glimra.example/";

// The palette box's entries in their order in the box, with the `pal` value each stands for. The
// names live in the string table of each language of the template and go to the wide entry
// points, so that they read right whatever the ANSI code page is.
struct PaletteChoice {
  UINT nameId;
  std::int32_t pal;
};
constexpr PaletteChoice kPaletteChoices[] = {
    {IDS_PALETTE_ANIMATE, PaletteAnimate},
    {IDS_PALETTE_SHIFT, PaletteShift},
    {IDS_PALETTE_FIXED, PaletteFixed},
    {IDS_PALETTE_AUTUMN_LEAVES, PaletteAutumnLeaves},
    {IDS_PALETTE_YOUNG_LEAVES, PaletteYoungLeaves},
    {IDS_PALETTE_WATER_SURFACE, PaletteWaterSurface},
    {IDS_PALETTE_CHERRY_BLOSSOM, PaletteCherryBlossom},
};
constexpr int kPaletteChoiceCount = sizeof kPaletteChoices / sizeof kPaletteChoices[0];

// Room for the longest text of the string tables, with some to spare for other languages.
constexpr int kTextChars = 128;
struct Text {
  wchar_t chars[kTextChars];
};

// One of the program's own texts. The lookup without a language is the one that chose the dialog
// template, so the text is in the dialog's language. A missing string gives an empty text.
Text LoadText(UINT id) {
  Text text = {};
  // A null instance is the program's own module, which holds the resources.
  if (LoadStringW(nullptr, id, text.chars, kTextChars) <= 0) text.chars[0] = 0;
  return text;
}

void SetTrackbar(HWND dialog, int id, int low, int high, int position) {
  const HWND bar = GetDlgItem(dialog, id);
  SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
  SendMessageA(bar, TBM_SETPOS, TRUE, position);
}

int TrackbarPosition(HWND dialog, int id) {
  return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), TBM_GETPOS, 0, 0));
}

// The display method's two radio buttons each start a group of their own, so the dialog manager
// would not uncheck the other one; this does.
void CheckDisplayMethod(HWND dialog, int id) {
  CheckRadioButton(dialog, IDC_ENLARGE, IDC_TILE, id);
}

int PaletteIndexFor(std::int32_t pal) {
  for (int i = 0; i < kPaletteChoiceCount; ++i)
    if (kPaletteChoices[i].pal == pal) return i;
  return -1;
}

void ShowSettings(HWND dialog) {
  SetFocus(GetDlgItem(dialog, IDOK));
  // A trackbar would itself show an outside value at the nearest end; clamping first keeps what
  // the dialog shows, and so what OK stores, independent of the control's own rules.
  SetTrackbar(dialog, IDC_CIR, kCirMin, kCirMax, ClampToRange(saverSettings.cir, kCirMin, kCirMax));
  SetTrackbar(dialog, IDC_DX_R, kSpeedMin, kSpeedMax, SpeedPosition(saverSettings.dx_r));
  SetTrackbar(dialog, IDC_DX_G, kSpeedMin, kSpeedMax, SpeedPosition(saverSettings.dx_g));
  SetTrackbar(dialog, IDC_DX_B, kSpeedMin, kSpeedMax, SpeedPosition(saverSettings.dx_b));
  SetTrackbar(dialog, IDC_CYCLE, kCycleMin, kCycleMax,
              ClampToRange(saverSettings.cycle, kCycleMin, kCycleMax));
  CheckDisplayMethod(dialog, saverSettings.one != 0 ? IDC_ENLARGE : IDC_TILE);
  // Any stored value goes to the check box as it is; the box decides how to show it.
  CheckDlgButton(dialog, IDC_DIRECT_X, static_cast<UINT>(saverSettings.direct_x));

  const HWND box = GetDlgItem(dialog, IDC_PALETTE);
  for (int i = 0; i < kPaletteChoiceCount; ++i) {
    const Text name = LoadText(kPaletteChoices[i].nameId);
    SendMessageW(box, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(name.chars));
  }
  // A `pal` the box does not offer leaves it without a selection.
  const int index = PaletteIndexFor(saverSettings.pal);
  if (index >= 0) SendMessageA(box, CB_SETCURSEL, index, 0);
}

void StoreSettings(HWND dialog) {
  saverSettings.dx_r = TrackbarPosition(dialog, IDC_DX_R);
  saverSettings.dx_g = TrackbarPosition(dialog, IDC_DX_G);
  saverSettings.dx_b = TrackbarPosition(dialog, IDC_DX_B);
  saverSettings.cir = TrackbarPosition(dialog, IDC_CIR);
  saverSettings.cycle = TrackbarPosition(dialog, IDC_CYCLE);
  saverSettings.one = IsDlgButtonChecked(dialog, IDC_ENLARGE) == BST_CHECKED ? 1 : 0;
  saverSettings.direct_x = IsDlgButtonChecked(dialog, IDC_DIRECT_X) == BST_CHECKED ? 1 : 0;
  // No selection (the stored `pal` was one the box does not offer) keeps `pal`.
  const LRESULT index = SendMessageA(GetDlgItem(dialog, IDC_PALETTE), CB_GETCURSEL, 0, 0);
  if (index >= 0 && index < kPaletteChoiceCount) saverSettings.pal = kPaletteChoices[index].pal;
  SaveSettings();
}

// Commands are told apart by the control id alone; the notification code is not looked at.
void HandleCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDOK:
      StoreSettings(dialog);
      EndDialog(dialog, 0);
      break;
    case IDCANCEL:
      EndDialog(dialog, 0);
      break;
    case IDC_HOMEPAGE:
      OpenHomePage(dialog);
      break;
    case IDC_ENLARGE:
      saverSettings.one = 1;
      CheckDisplayMethod(dialog, IDC_ENLARGE);
      break;
    case IDC_TILE:
      saverSettings.one = 0;
      CheckDisplayMethod(dialog, IDC_TILE);
      break;
    default:
      break;
  }
}

}  // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ShowSettings(dialog);
      return TRUE;
    case WM_COMMAND:
      HandleCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_HSCROLL:  // positions are read only on OK
      return TRUE;
    default:
      return FALSE;
  }
}

void OpenHomePage(HWND window) {
  // SW_SHOWNORMAL: the browser is started to be seen; a hidden start could leave it invisible.
  const HINSTANCE result =
      ShellExecuteA(window, "open", kHomePageUrl, nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) > 32) return;
  const Text message = LoadText(IDS_BROWSER_WARNING);
  const Text caption = LoadText(IDS_BROWSER_WARNING_CAPTION);
  MessageBoxW(window, message.chars, caption.chars, MB_OK | MB_ICONWARNING);
}

void RegisterDialogControls() {
  // The template's trackbars need their window class before the dialog is created.
  INITCOMMONCONTROLSEX controls;
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);
}
