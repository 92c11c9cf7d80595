// A minimal Windows program that runs the configuration dialog as the saver's configuration mode
// does (settings loaded, trackbar class registered, then the modal dialog with no owner), for the
// end-to-end scripts while the saver program itself cannot be used.
#include <windows.h>

#include "resources/resource.h"
#include "settings/config_dialog.h"
#include "settings/saver_settings.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  LoadSettings();
  RegisterDialogControls();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), nullptr, ConfigDialogProc, 0);
  return 0;
}
