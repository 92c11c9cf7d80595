#include "host/saver_mode.h"

#include <cstring>

void CopyCommandTail(char (&copy)[kCommandCopySize], const char* tail) {
  std::size_t i = 0;
  if (tail != nullptr)
    for (; i < kCommandCopySize && tail[i] != '\0'; ++i) copy[i] = tail[i];
  std::memset(copy + i, 0, kCommandCopySize - i);
}

SaverMode SelectSaverMode(const char (&copy)[kCommandCopySize], std::int32_t direct_x) {
  const char c0 = copy[0];
  const char c1 = copy[1];
  const bool fullScreen = c0 == 's' || c1 == 's' || c0 == 'S' || c1 == 'S';
  if (fullScreen) return direct_x != 0 ? ModeDirectDraw : ModeGdiFullScreen;
  if (c0 == 'p' || c1 == 'p' || c0 == 'P' || c1 == 'P') return ModePreview;
  return ModeConfigure;
}

std::int32_t ParseParentHandleValue(const char* tail, bool* found) {
  *found = false;
  if (tail == nullptr) return 0;
  const char* p = std::strchr(tail, ' ');
  if (p == nullptr) return 0;
  *found = true;
  ++p;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  std::uint32_t value = 0;  // unsigned, so that long digit runs wrap instead of overflowing
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + static_cast<std::uint32_t>(*p - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

HWND ParseParentWindow(const char* tail) {
  bool found = false;
  const std::int32_t value = ParseParentHandleValue(tail, &found);
  if (!found) return nullptr;
  // Window handles are 32-bit values sign-extended into the pointer.
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(value));
}
