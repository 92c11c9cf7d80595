// The dialog part of the Win32 test fake: a small model of the configuration dialog's controls
// (trackbar range and position, combo box entries and selection, check states) behind the faked
// calls, and the user's side of the dialog for scenario tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct FakeControl {
  int rangeMin = 0;  // a new trackbar's range is 0 to 100, as on Windows
  int rangeMax = 100;
  int position = 0;
  std::vector<std::string> entries;  // combo box texts, UTF-8
  int selection = CB_ERR;
  UINT check = BST_UNCHECKED;
};

// The handle GetDlgItem gives for a control id, and the control's state.
HWND FakeDialogItem(int id);
const FakeControl& FakeControlState(int id);

// What the user does: drag a trackbar (it stays inside its range, as a real one does), pick a
// combo box entry, click a check box.
void FakeMoveTrackbar(int id, int position);
void FakeSelectEntry(int id, int index);
void FakeSetCheck(int id, UINT check);

// Whether EndDialog was called, and with which result.
bool FakeDialogEnded(INT_PTR* result = nullptr);

// The user's interface language, named as the resource script names it ("LANG_JAPANESE", the
// default, or "LANG_ENGLISH"): LoadStringW answers from that language's string table.
void FakeSetUiLanguage(const std::string& rcLanguage);

// Wide text as UTF-8, whatever the width of wchar_t.
std::string FakeWideText(const wchar_t* text);
