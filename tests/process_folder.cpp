#include "process_folder.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>

namespace {
// A plain array: it outlives the function-local objects that exit destroys before the handler.
char made[] = "/tmp/glimra-test-XXXXXX";

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(made, ignored);
}
}  // namespace

const std::string& ProcessFolder() {
  static const std::string path = [] {
    if (mkdtemp(made) == nullptr) return std::string("/tmp");
    std::atexit(RemoveFolder);
    return std::string(made);
  }();
  return path;
}
