// The graphical entry point of glimra.scr: the whole program is RunSaver. The previous-instance
// argument means nothing on Win32 and is ignored.
#include <windows.h>

#include "host/run_saver.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand) {
  return RunSaver(instance, commandTail, showCommand);
}
