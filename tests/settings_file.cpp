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
#else
#include <unistd.h>

#include "private_profile_location.h"

namespace {
std::string TestDirectory() {
  static const std::string directory = [] {
    char pattern[] = "/tmp/glimra-settings-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  return directory;
}
}  // namespace

std::string SettingsFilePath() {
  return TestDirectory() + "/" + kSettingsFileName;
}

void UseFreshSettingsFile() {
  SetProfileFileOverride("");
  SetProfileDirectory(TestDirectory());
  std::remove(SettingsFilePath().c_str());
  saverSettings = SaverSettings{};
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
