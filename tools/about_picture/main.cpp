// about_picture FILE: writes the configuration dialog's about picture (resource 102) to FILE.
// resources/about_picture.bmp is this tool's output; a test keeps the two the same.
#include <cstdio>

#include "tools/about_picture/about_picture.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: about_picture FILE\n");
    return 2;
  }
  const std::vector<std::uint8_t> bytes = MakeAboutPicture();
  std::FILE* file = std::fopen(argv[1], "wb");
  if (!file) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
