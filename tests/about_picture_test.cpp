// The about picture (resource 102): the bitmap layout the dialog's picture control needs, and the
// committed resources/about_picture.bmp being exactly what the tool makes from the engine.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tools/about_picture/about_picture.h"

namespace {

std::uint32_t Field(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

TEST(AboutPicture, IsAn8BitBottomUpBitmapOf5744ResourceBytes) {
  const std::vector<std::uint8_t> file = MakeAboutPicture();
  ASSERT_EQ(file.size(), 14u + 5744u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  const struct {
    const char* field;
    std::size_t at;
    int size;
    std::uint32_t value;
  } fields[] = {
      {"bfSize", 2, 4, 5758},
      {"bfOffBits", 10, 4, 14 + 40 + 1024},
      {"biSize", 14, 4, 40},
      {"biWidth", 18, 4, 60},
      {"biHeight (positive: bottom-up)", 22, 4, 78},
      {"biPlanes", 26, 2, 1},
      {"biBitCount", 28, 2, 8},
      {"biCompression", 30, 4, 0},
      {"biSizeImage", 34, 4, 4680},
      {"biClrUsed", 46, 4, 256},
  };
  for (const auto& f : fields) EXPECT_EQ(Field(file, f.at, f.size), f.value) << f.field;
  // A composed frame uses only the indices 1 to 254.
  for (std::size_t i = 14 + 40 + 1024; i < file.size(); ++i) {
    ASSERT_GE(file[i], 1) << i;
    ASSERT_LE(file[i], 254) << i;
  }
}

TEST(AboutPicture, CommittedFileIsTheToolsOutput) {
  std::ifstream in(GLIMRA_SOURCE_DIR "/resources/about_picture.bmp", std::ios::binary);
  ASSERT_TRUE(in) << "resources/about_picture.bmp is missing";
  const std::vector<std::uint8_t> committed{std::istreambuf_iterator<char>(in),
                                            std::istreambuf_iterator<char>()};
  EXPECT_TRUE(committed == MakeAboutPicture())
      << "run: build/native/tools/about_picture/about_picture resources/about_picture.bmp";
}

}  // namespace
