#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/saver_mode.h"

namespace {

SaverMode ModeFor(const std::string& tail, int direct_x) {
  char copy[kCommandCopySize];
  CopyCommandTail(copy, tail.c_str());
  return SelectSaverMode(copy, direct_x);
}

TEST(SaverMode, CommandTails) {
  struct Case {
    const char* tail;
    int direct_x;
    SaverMode mode;
  };
  const Case cases[] = {
      {"/s", 0, ModeGdiFullScreen}, {"-s", 0, ModeGdiFullScreen},  {"s", 0, ModeGdiFullScreen},
      {"/S", 0, ModeGdiFullScreen}, {"/s", 1, ModeDirectDraw},     {"/S", 2, ModeDirectDraw},
      {"/s", -1, ModeDirectDraw},   {"S", 1, ModeDirectDraw},      {"ps", 0, ModeGdiFullScreen},
      {"sp", 1, ModeDirectDraw},    {"/p 1234", 1, ModePreview},   {"p 1234", 0, ModePreview},
      {"-P 1234", 0, ModePreview},  {"P", 0, ModePreview},         {"", 0, ModeConfigure},
      {"/c", 0, ModeConfigure},     {"/c:1234", 1, ModeConfigure}, {"/a 1234", 0, ModeConfigure},
      {"/xs", 0, ModeConfigure},    {"/xp", 0, ModeConfigure},     {"xyzs", 1, ModeConfigure},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ModeFor(c.tail, c.direct_x), c.mode) << '"' << c.tail << "\" direct_x " << c.direct_x;
}

TEST(SaverMode, LongTailIsItsFirstTwoCharacters) {
  for (const char* head : {"/s", "/p", "/c", "ab"}) {
    const std::string tail = head + std::string(298, 'x');
    EXPECT_EQ(ModeFor(tail, 1), ModeFor(head, 1)) << head;
  }
}

TEST(SaverMode, CommandCopyIsBoundedAndZeroFilled) {
  char copy[kCommandCopySize];
  std::memset(copy, 'z', sizeof copy);
  CopyCommandTail(copy, "/p 5");
  EXPECT_STREQ(copy, "/p 5");
  for (std::size_t i = 4; i < kCommandCopySize; ++i) ASSERT_EQ(copy[i], '\0') << i;
  const std::string longTail(300, 'q');
  CopyCommandTail(copy, longTail.c_str());
  EXPECT_EQ(std::string(copy, kCommandCopySize), longTail.substr(0, kCommandCopySize));
  CopyCommandTail(copy, nullptr);
  EXPECT_EQ(copy[0], '\0');
}

TEST(SaverMode, ParentHandles) {
  struct Case {
    const char* tail;
    bool found;
    std::int32_t value;
  };
  const Case cases[] = {
      {"/p 1234", true, 1234},
      {"p 1234", true, 1234},
      {"-P 1234", true, 1234},
      {"/p   1234", true, 1234},
      {"/p \t+77x", true, 77},
      {"/p -12", true, -12},
      {"/p", false, 0},
      {"p", false, 0},
      {"/p abc", true, 0},
      {"/p - 3", true, 0},
      {"/p:99 5", true, 5},
      {"/p 4294967295", true, -1},
      {"/p 99999999999", true, 1215752191},
      {"/p 123456789012345678901234567890", true, 1312754386},
  };
  for (const Case& c : cases) {
    bool found = !c.found;
    EXPECT_EQ(ParseParentHandleValue(c.tail, &found), c.value) << c.tail;
    EXPECT_EQ(found, c.found) << c.tail;
  }
  EXPECT_EQ(ParseParentWindow("/p"), nullptr);
  EXPECT_EQ(ParseParentWindow("/p 1234"), reinterpret_cast<HWND>(static_cast<std::intptr_t>(1234)));
}

}  // namespace
