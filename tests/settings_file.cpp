#include "settings_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "settings/saver_settings.h"

#ifdef _WIN32
#include <windows.h>

std::string SettingsFilePath() {
  char directory[MAX_PATH];
  GetWindowsDirectoryA(directory, MAX_PATH);
  return std::string(directory) + "\\" + kSettingsFileName;
}

void UseFreshSettingsFile() {
  std::remove(SettingsFilePath().c_str());
  saverSettings = SaverSettings{};
}

void SetSettingsFileReadOnly(bool readOnly) {
  static HANDLE holder = INVALID_HANDLE_VALUE;
  if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
  holder = INVALID_HANDLE_VALUE;
  if (readOnly)
    holder = CreateFileA(SettingsFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void PutFolderAtSettingsPath() {
  CreateDirectoryA(SettingsFilePath().c_str(), nullptr);
}

void RemoveFolderAtSettingsPath() {
  RemoveDirectoryA(SettingsFilePath().c_str());
}
#else
#include <sys/stat.h>
#include <unistd.h>

#include "posix/private_profile_location.h"
#include "process_folder.h"

std::string SettingsFilePath() {
  return ProcessFolder() + "/" + kSettingsFileName;
}

void UseFreshSettingsFile() {
  SetProfileFileOverride("");
  SetProfileDirectory(ProcessFolder());
  std::remove(SettingsFilePath().c_str());
  saverSettings = SaverSettings{};
}

void SetSettingsFileReadOnly(bool readOnly) {
  chmod(SettingsFilePath().c_str(), readOnly ? 0444 : 0644);
}

void PutFolderAtSettingsPath() {
  mkdir(SettingsFilePath().c_str(), 0755);
}

void RemoveFolderAtSettingsPath() {
  rmdir(SettingsFilePath().c_str());
}
#endif

void WriteSettingsFile(const std::string& bytes) {
  std::ofstream out(SettingsFilePath(), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadSettingsFile() {
  std::ifstream in(SettingsFilePath(), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool SettingsFileExists() {
  return std::ifstream(SettingsFilePath()).good();
}
