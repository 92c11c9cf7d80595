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
// Makes the settings file impossible to write, or lifts that again: on Linux no write permission;
// on Windows a handle held open that shares reading only, as an editor or a backup program holds
// it (the read-only attribute would do on Windows, but Wine running as root ignores it).
void SetSettingsFileReadOnly(bool readOnly);
// Puts a folder where the settings file belongs (a file that cannot be read as one), or removes it.
void PutFolderAtSettingsPath();
void RemoveFolderAtSettingsPath();
