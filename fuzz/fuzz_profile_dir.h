// A private folder for the settings file of one fuzzing process, made on first use and removed at
// exit; the Linux profile functions resolve the bare settings file name in it.
#pragma once

#include <string>

// The settings file's path; points the profile functions at the folder on first use.
const std::string& FuzzSettingsPath();
// Replaces the settings file with these bytes.
void WriteFuzzSettingsFile(const unsigned char* data, std::size_t size);
// The file's bytes, or empty when it does not exist.
std::string ReadFuzzSettingsFile();
// Removes the file so that the next write starts from nothing.
void RemoveFuzzSettingsFile();
