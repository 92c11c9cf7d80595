// Fuzz target: any command tail through the bounded command copy, the mode selection and the
// preview's parent handle, each compared with a plain model of the documented rule. The first
// byte picks the direct_x setting; the rest is the tail, in a buffer of exactly its size so that
// a read past its terminating zero is caught.
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_check.h"
#include "host/saver_mode.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

SaverMode ModelMode(char c0, char c1, std::int32_t direct_x) {
  if (c0 == 's' || c1 == 's' || c0 == 'S' || c1 == 'S')
    return direct_x != 0 ? ModeDirectDraw : ModeGdiFullScreen;
  if (c0 == 'p' || c1 == 'p' || c0 == 'P' || c1 == 'P') return ModePreview;
  return ModeConfigure;
}

// The number after the first space, in 64-bit arithmetic folded to 32 bits after every digit.
bool ModelParent(const char* tail, std::int64_t* value) {
  const char* space = std::strchr(tail, ' ');
  if (space == nullptr) return false;
  const char* p = space + 1;
  while (IsBlank(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  std::int64_t v = 0;
  while (*p >= '0' && *p <= '9') v = (v * 10 + (*p++ - '0')) % 4294967296LL;
  if (negative) v = (4294967296LL - v) % 4294967296LL;
  *value = v >= 2147483648LL ? v - 4294967296LL : v;
  return true;
}

void CheckCopy(const char* tail) {
  char copy[kCommandCopySize];
  std::memset(copy, 0xA5, sizeof copy);
  CopyCommandTail(copy, tail);
  const std::size_t length = std::strlen(tail);
  for (std::size_t i = 0; i < kCommandCopySize; ++i)
    FUZZ_CHECK(copy[i] == (i < length ? tail[i] : '\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::int32_t direct_x = static_cast<std::int8_t>(data[0]);
  std::unique_ptr<char[]> tail(new char[size]);
  std::memcpy(tail.get(), data + 1, size - 1);
  tail[size - 1] = '\0';

  CheckCopy(tail.get());
  char copy[kCommandCopySize];
  CopyCommandTail(copy, tail.get());
  FUZZ_CHECK(SelectSaverMode(copy, direct_x) == ModelMode(copy[0], copy[1], direct_x));

  std::int64_t expected = 0;
  const bool hasParent = ModelParent(tail.get(), &expected);
  bool found = true;
  const std::int32_t value = ParseParentHandleValue(tail.get(), &found);
  FUZZ_CHECK(found == hasParent);
  if (hasParent) FUZZ_CHECK(value == expected);
  const HWND parent = ParseParentWindow(tail.get());
  FUZZ_CHECK(parent ==
             (hasParent ? reinterpret_cast<HWND>(static_cast<std::intptr_t>(expected)) : nullptr));
  return 0;
}
