// The string-table part of the Win32 test fake: LoadStringW answers from the STRINGTABLEs of the
// real resource script (resources/config_dialog.rc, ids from resources/resource.h), in the
// language the test chose as the user's interface language (Japanese unless told otherwise).
#include <windows.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "fake_win32/fake_calls.h"
#include "fake_win32/fake_dialog.h"

namespace {

std::string language = "LANG_JAPANESE";

[[maybe_unused]] const bool registered = RegisterFakeReset([] { language = "LANG_JAPANESE"; });

std::string ReadSource(const std::string& path) {
  std::ifstream file(std::string(GLIMRA_SOURCE_DIR) + "/" + path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// UTF-8 to one wchar_t per code point (Linux's wchar_t holds UTF-32).
std::wstring Wide(const std::string& utf8) {
  std::wstring wide;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    std::uint32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
      c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    wide += static_cast<wchar_t>(c);
    i += 1 + extra;
  }
  return wide;
}

// (language, id) -> text, read once from the resource script.
const std::map<std::pair<std::string, UINT>, std::wstring>& Strings() {
  static const auto strings = [] {
    std::map<std::string, UINT> ids;
    const std::regex define(R"(#define\s+(\w+)\s+(\d+))");
    const std::string header = ReadSource("resources/resource.h");
    for (std::sregex_iterator m(header.begin(), header.end(), define), end; m != end; ++m)
      ids[(*m)[1]] = static_cast<UINT>(std::stoul((*m)[2]));
    std::map<std::pair<std::string, UINT>, std::wstring> found;
    const std::regex table(R"(STRINGTABLE\s+LANGUAGE\s+(\w+)[^\n]*\s+BEGIN([\s\S]*?)\nEND)");
    const std::regex entry(R"((\w+)\s+\"([^\"]*)\")");
    const std::string script = ReadSource("resources/config_dialog.rc");
    for (std::sregex_iterator t(script.begin(), script.end(), table), end; t != end; ++t) {
      const std::string body = (*t)[2];
      for (std::sregex_iterator e(body.begin(), body.end(), entry); e != end; ++e)
        found[{(*t)[1], ids.at((*e)[1])}] = Wide((*e)[2]);
    }
    return found;
  }();
  return strings;
}

}  // namespace

void FakeSetUiLanguage(const std::string& rcLanguage) {
  language = rcLanguage;
}

// Copies as much as fits and ends it with a zero, as Windows does; 0 for a missing string.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
  RecordCall("LoadStringW", {FakeHex(reinterpret_cast<std::uintptr_t>(instance)),
                             std::to_string(id), std::to_string(bufferMax)});
  const auto found = Strings().find({language, id});
  if (found == Strings().end() || bufferMax <= 0) {
    if (bufferMax > 0) buffer[0] = 0;
    return 0;
  }
  const std::wstring copied = found->second.substr(0, static_cast<std::size_t>(bufferMax - 1));
  copied.copy(buffer, copied.size());
  buffer[copied.size()] = 0;
  return static_cast<int>(copied.size());
}
