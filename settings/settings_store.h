// The settings record's store: the eight keys of "Tovalesk.ini" read and written through the
// private-profile functions (the Windows ones, or the project's file-backed ones on Linux).
#pragma once

#include "settings/saver_settings.h"

// Reads the eight keys into saverSettings; a missing file, section or key keeps the default.
void LoadSettings();
// Writes the eight keys, in the order they are read, each by its own call.
void SaveSettings();
