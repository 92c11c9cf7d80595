// The settings file of a fuzzing process, in a folder of its own under /tmp.
#include "fuzz/fuzz_profile_dir.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "private_profile_location.h"
#include "settings/saver_settings.h"

namespace {

std::string folder;

void RemoveFolder() {
  RemoveFuzzSettingsFile();
  rmdir(folder.c_str());
}

}  // namespace

const std::string& FuzzSettingsPath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/glimra-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) std::abort();
    folder = made;
    SetProfileFileOverride("");
    SetProfileDirectory(folder);
    std::atexit(RemoveFolder);
    return folder + "/" + kSettingsFileName;
  }();
  return path;
}

void WriteFuzzSettingsFile(const unsigned char* data, std::size_t size) {
  std::ofstream out(FuzzSettingsPath(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string ReadFuzzSettingsFile() {
  std::ifstream in(FuzzSettingsPath(), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void RemoveFuzzSettingsFile() {
  std::remove(FuzzSettingsPath().c_str());
}
