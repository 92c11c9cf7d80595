// The settings file as the tests see it: a fresh temporary folder for the Linux profile store, the
// Windows directory of the Wine prefix on Windows.
#pragma once

#include <string>

// Points the profile functions at an empty place (no settings file) and resets the record.
void UseFreshSettingsFile();
std::string SettingsFilePath();
void WriteSettingsFile(const std::string& bytes);
// The file's bytes; empty when it does not exist.
std::string ReadSettingsFile();
bool SettingsFileExists();
