// The settings file of a fuzzing process, in a folder of its own under $TMPDIR, /dev/shm or /tmp.
#include "fuzz/fuzz_profile_dir.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "posix/private_profile_location.h"
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
    // Under $TMPDIR when given (the test script gives a scratch folder that it removes, since
    // libFuzzer may end the process without running exit handlers), else memory-backed when the
    // machine has it, as every run rewrites the file several times.
    const char* base = std::getenv("TMPDIR");
    if (base == nullptr || *base == '\0')
      base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/glimra-fuzz-XXXXXX";
    const char* made = mkdtemp(&pattern[0]);
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
