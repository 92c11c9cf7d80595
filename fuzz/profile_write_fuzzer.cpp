// Fuzz target: the private-profile write path. The first 32 bytes give the eight values to save,
// the rest is the file that exists before the save (none when empty). After SaveSettings the file
// must read back as the saved values, and a small model of the INI text, written independently of
// the store, checks that every other line survived byte for byte and in order: only the first line
// of each of our keys in our section may change, and only our keys (and our section's header when
// there was none) may be added.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_profile_dir.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

constexpr const char* kKeys[8] = {"dx_r", "dx_g", "dx_b", "one", "pal", "cir", "cycle", "direct_x"};
constexpr std::size_t kValueBytes = 32;

// ---- The model: lines, headers and keys as the INI text defines them. ----

struct ModelLine {
  std::string bytes;  // with its own line end, if any
  std::string text;   // without "\n" and a "\r" before it
};

std::vector<ModelLine> SplitLines(const std::string& file) {
  std::vector<ModelLine> lines;
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find('\n', start);
    end = end == std::string::npos ? file.size() : end + 1;
    ModelLine line{file.substr(start, end - start), file.substr(start, end - start)};
    if (!line.text.empty() && line.text.back() == '\n') line.text.pop_back();
    if (line.bytes.back() == '\n' && !line.text.empty() && line.text.back() == '\r')
      line.text.pop_back();
    lines.push_back(line);
    start = end;
  }
  return lines;
}

bool Blank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string Trimmed(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && Blank(s[b])) ++b;
  while (e > b && Blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
    const char y = (b[i] >= 'A' && b[i] <= 'Z') ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

// A header is a line whose first non-blank character is '['; its name runs to the first ']'.
bool IsHeader(const std::string& text, std::string* name) {
  const std::string t = Trimmed(text);
  if (t.empty() || t[0] != '[') return false;
  const std::size_t close = t.find(']');
  *name = Trimmed(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  return true;
}

bool IsOurHeader(const std::string& text) {
  std::string name;
  return IsHeader(text, &name) && SameIgnoringCase(name, kSettingsSection);
}

// Which of our keys a line holds (-1 for none): the text before its first '=', trimmed.
int KeyIndexOf(const std::string& text) {
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) return -1;
  const std::string key = Trimmed(text.substr(0, eq));
  for (int k = 0; k < 8; ++k)
    if (SameIgnoringCase(key, kKeys[k])) return k;
  return -1;
}

// For each old line: the key it holds when it is the first line of that key in our (first)
// section, else -1. `header` receives our header's line, or -1.
std::vector<int> OurKeyLines(const std::vector<ModelLine>& lines, long* header) {
  std::vector<int> keyOf(lines.size(), -1);
  *header = -1;
  bool inOurs = false;
  bool seen[8] = {};
  std::string name;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsHeader(lines[i].text, &name)) {
      inOurs = *header < 0 && IsOurHeader(lines[i].text);
      if (inOurs) *header = static_cast<long>(i);
      continue;
    }
    const int k = inOurs ? KeyIndexOf(lines[i].text) : -1;
    if (k >= 0 && !seen[k]) {
      seen[k] = true;
      keyOf[i] = k;
    }
  }
  return keyOf;
}

// Walks old and new lines together: unchanged lines must match exactly, our key lines must be
// replaced, and anything else in the new file must be an addition of ours in the right place.
void CheckOtherBytesKept(const std::string& before, const std::string& after,
                         const std::string (&values)[8]) {
  const std::vector<ModelLine> oldLines = SplitLines(before);
  const std::vector<ModelLine> newLines = SplitLines(after);
  long header = -1;
  const std::vector<int> keyOf = OurKeyLines(oldLines, &header);
  int written[8] = {};
  bool headerAdded = false;
  bool inOurs = false;  // the new file's current section is ours
  std::size_t j = 0;

  auto addition = [&](const ModelLine& line) {
    if (line.bytes == std::string("[") + kSettingsSection + "]\r\n" && header < 0 && !headerAdded) {
      headerAdded = inOurs = true;
      return true;
    }
    if (!inOurs || line.bytes.size() < 2 || line.bytes.compare(line.bytes.size() - 2, 2, "\r\n"))
      return false;
    const int k = KeyIndexOf(line.text);
    if (k < 0 || line.text != std::string(kKeys[k]) + "=" + values[k]) return false;
    ++written[k];
    return true;
  };
  // The last old line may have had no line end; a line added after it gives it one.
  auto same = [&](std::size_t i, const ModelLine& line) {
    const bool last = i + 1 == oldLines.size() && oldLines[i].bytes.back() != '\n';
    return line.bytes == oldLines[i].bytes || (last && line.bytes == oldLines[i].bytes + "\r\n");
  };

  for (std::size_t i = 0; i < oldLines.size(); ++i) {
    if (keyOf[i] >= 0) {
      const int k = keyOf[i];
      const std::string expected = std::string(kKeys[k]) + "=" + values[k];
      while (j < newLines.size() && newLines[j].text != expected)
        FUZZ_CHECK(addition(newLines[j++]));
      FUZZ_CHECK(j < newLines.size());
      // The replaced line keeps its line end (or gains one, as the last line, before additions).
      const std::string oldEnd = oldLines[i].bytes.substr(oldLines[i].text.size());
      const std::string newEnd = newLines[j].bytes.substr(newLines[j].text.size());
      FUZZ_CHECK(newEnd == oldEnd || (oldEnd.empty() && newEnd == "\r\n"));
      ++j;
      ++written[k];
      continue;
    }
    while (j < newLines.size() && !same(i, newLines[j])) FUZZ_CHECK(addition(newLines[j++]));
    FUZZ_CHECK(j < newLines.size());
    std::string name;
    if (IsHeader(newLines[j].text, &name)) inOurs = static_cast<long>(i) == header;
    ++j;
  }
  while (j < newLines.size()) FUZZ_CHECK(addition(newLines[j++]));
  for (int k = 0; k < 8; ++k) FUZZ_CHECK(written[k] == 1);
}

std::int32_t ValueAt(const std::uint8_t* bytes, int k) {
  std::uint32_t v;
  std::memcpy(&v, bytes + 4 * k, 4);
  return static_cast<std::int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzSettingsPath();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t valueBytes[kValueBytes] = {};
  std::memcpy(valueBytes, data, size < kValueBytes ? size : kValueBytes);
  const std::string before =
      size > kValueBytes
          ? std::string(reinterpret_cast<const char*>(data) + kValueBytes, size - kValueBytes)
          : std::string();
  if (before.empty())
    RemoveFuzzSettingsFile();
  else
    WriteFuzzSettingsFile(data + kValueBytes, size - kValueBytes);

  // Speeds carry a fraction (a quarter of the raw value) so that the truncation is exercised.
  SaverSettings saved;
  saved.dx_r = ValueAt(valueBytes, 0) / 4.0;
  saved.dx_g = ValueAt(valueBytes, 1) / 4.0;
  saved.dx_b = ValueAt(valueBytes, 2) / 4.0;
  saved.one = ValueAt(valueBytes, 3);
  saved.pal = ValueAt(valueBytes, 4);
  saved.cir = ValueAt(valueBytes, 5);
  saved.cycle = ValueAt(valueBytes, 6);
  saved.direct_x = ValueAt(valueBytes, 7);
  saverSettings = saved;
  SaveSettings();
  const std::string after = ReadFuzzSettingsFile();

  const std::int32_t stored[8] = {SpeedToStoredInt(saved.dx_r),
                                  SpeedToStoredInt(saved.dx_g),
                                  SpeedToStoredInt(saved.dx_b),
                                  saved.one,
                                  saved.pal,
                                  saved.cir,
                                  saved.cycle,
                                  saved.direct_x};
  std::string values[8];
  for (int k = 0; k < 8; ++k) values[k] = std::to_string(stored[k]);
  CheckOtherBytesKept(before, after, values);

  // What was saved is what the next start loads.
  saverSettings = SaverSettings{};
  LoadSettings();
  FUZZ_CHECK(saverSettings.dx_r == StoredIntToSpeed(static_cast<std::uint32_t>(stored[0])));
  FUZZ_CHECK(saverSettings.dx_g == StoredIntToSpeed(static_cast<std::uint32_t>(stored[1])));
  FUZZ_CHECK(saverSettings.dx_b == StoredIntToSpeed(static_cast<std::uint32_t>(stored[2])));
  FUZZ_CHECK(saverSettings.one == saved.one);
  FUZZ_CHECK(saverSettings.pal == saved.pal);
  FUZZ_CHECK(saverSettings.cir == saved.cir);
  FUZZ_CHECK(saverSettings.cycle == saved.cycle);
  FUZZ_CHECK(saverSettings.direct_x == saved.direct_x);
  return 0;
}
