// A file-backed implementation of the private-profile functions for Linux, with the Windows
// behaviour the settings rely on: a missing file, section or key gives the default; a write creates
// what is missing, replaces an existing value in place, keeps every other byte of the file and ends
// the lines it writes with CRLF. Values are read as the Windows function reads them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "posix/private_profile_location.h"
#include "windows.h"

namespace {

std::string profileDirectory = kDefaultWindowsDirectory;
std::string profileFileOverride;

// One line of the file with its own line ending, so that untouched lines are written back as
// they were.
struct Line {
  std::string text;
  std::string ending;
};

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string Trim(const std::string& s) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

bool SameName(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return i == a.size() && b[i] == '\0';
}

// What is at a path. Only regular files are ever opened: opening a pipe would block the saver
// for ever, and folders, sockets and devices hold no settings.
enum class PathKind { Missing, RegularFile, Other };

PathKind KindOf(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return errno == ENOENT ? PathKind::Missing : PathKind::Other;
  return S_ISREG(info.st_mode) ? PathKind::RegularFile : PathKind::Other;
}

bool ReadLines(const std::string& path, std::vector<Line>& lines) {
  if (KindOf(path) != PathKind::RegularFile) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return false;
  const std::string data = content.str();
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find('\n', start);
    Line line;
    if (end == std::string::npos) {
      line.text = data.substr(start);
      start = data.size();
    } else {
      std::size_t textEnd = end;
      if (textEnd > start && data[textEnd - 1] == '\r') --textEnd;
      line.text = data.substr(start, textEnd - start);
      line.ending = data.substr(textEnd, end + 1 - textEnd);
      start = end + 1;
    }
    lines.push_back(line);
  }
  return true;
}

// The section name of a header line ("[name]"), or false for any other line.
bool SectionOf(const Line& line, std::string& name) {
  const std::string t = Trim(line.text);
  if (t.empty() || t[0] != '[') return false;
  const std::size_t close = t.find(']');
  name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  return true;
}

bool KeyOf(const Line& line, std::string& key, std::string& value) {
  const std::size_t eq = line.text.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(line.text.substr(0, eq));
  value = Trim(line.text.substr(eq + 1));
  return true;
}

// Index of the header of the first section with this name, or -1.
long FindSection(const std::vector<Line>& lines, const char* section) {
  std::string name;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (SectionOf(lines[i], name) && SameName(name, section)) return static_cast<long>(i);
  return -1;
}

// One past the last line of the section whose header is at `header`.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
  std::string name;
  std::size_t i = header + 1;
  while (i < lines.size() && !SectionOf(lines[i], name)) ++i;
  return i;
}

long FindKey(const std::vector<Line>& lines, std::size_t header, const char* key) {
  std::string name, value;
  const std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (KeyOf(lines[i], name, value) && SameName(name, key)) return static_cast<long>(i);
  return -1;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// One optional sign, an optional 0x, 0o or 0b prefix, then digits up to the first other character,
// accumulated modulo 2^32; no digit gives 0.
UINT ParseProfileInt(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char p = text[i + 1];
    if (p == 'x' || p == 'X') base = 16;
    if (p == 'o' || p == 'O') base = 8;
    if (p == 'b' || p == 'B') base = 2;
    if (base != 10) i += 2;
  }
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit >= static_cast<int>(base)) break;
    value = value * base + static_cast<std::uint32_t>(digit);
  }
  return negative ? 0u - value : value;
}

std::string StripQuotes(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Windows refuses to write a file with the read-only attribute, whoever asks; the nearest thing
// here is a file without any write permission bit (root would otherwise write it anyway).
bool IsReadOnly(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
}

// The file a write must change: links followed to their end, also where that end does not exist
// yet (a link made for a file still to come), so that a linked settings file stays linked. A loop
// ends on a link, which no write then opens.
std::string FileBehindLinks(const std::string& path) {
  std::string at = path;
  for (int hops = 0; hops < 40; ++hops) {
    char target[PATH_MAX];
    const ssize_t length = readlink(at.c_str(), target, sizeof target);
    if (length < 0 || length == static_cast<ssize_t>(sizeof target)) return at;
    std::string next(target, static_cast<std::size_t>(length));
    const std::size_t slash = at.rfind('/');
    if (next.front() != '/' && slash != std::string::npos) next = at.substr(0, slash + 1) + next;
    at = next;
  }
  return at;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

enum class Replaced { Done, Failed, NotHere };

// A new file gets the mode any new file of this process gets (mkstemp makes it 0600).
mode_t CurrentUmask() {
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

// The folder that holds a path, for syncing the entry a rename changed.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a rename in this folder survive a power cut: until the folder itself is synced, the disk
// may still hold the entry that names the old file. A folder its user may not read cannot be
// opened to sync it (the rename stands all the same); a file system that cannot sync a folder
// says EINVAL.
bool SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  const bool ok = fsync(fd) == 0 || errno == EINVAL;
  close(fd);
  return ok;
}

// The crash-safe way: the new text goes to a temporary beside the file, which takes the file's mode
// and owner and replaces it in one rename, so that a process that dies part-way leaves the old file
// whole. NotHere when the folder takes no new file or the owner cannot be kept.
Replaced ReplaceThroughTemporary(const std::string& path, const std::string& text,
                                 const struct stat* old) {
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(&temporary[0]);
  if (fd < 0) return errno == ENOSPC ? Replaced::Failed : Replaced::NotHere;
  Replaced result = Replaced::Done;
  if (old != nullptr &&
      (fchown(fd, old->st_uid, old->st_gid) != 0 || fchmod(fd, old->st_mode & 07777) != 0))
    result = Replaced::NotHere;
  else if (old == nullptr && fchmod(fd, 0666 & ~CurrentUmask()) != 0)
    result = Replaced::Failed;
  else if (!WriteAll(fd, text) || fsync(fd) != 0)
    result = Replaced::Failed;
  if (close(fd) != 0 && result == Replaced::Done) result = Replaced::Failed;
  if (result == Replaced::Done && rename(temporary.c_str(), path.c_str()) != 0)
    result = Replaced::Failed;
  if (result != Replaced::Done) {
    unlink(temporary.c_str());
    return result;
  }
  return SyncFolder(FolderOf(path)) ? Replaced::Done : Replaced::Failed;
}

// Where no temporary can be made (a writable file in a folder that is not), or where a rename
// would split the file from its other hard links, the file is rewritten in place, as Windows
// writes it: the new text over the old, then cut to its length, so that the file is never empty
// on the way. The new length is reserved first, so that a full disk fails the save before a byte
// changes instead of cutting the file part-way.
bool RewriteInPlace(const std::string& path, const std::string& text) {
  const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat before;
  bool ok = fstat(fd, &before) == 0;
  if (ok && !text.empty() && posix_fallocate(fd, 0, static_cast<off_t>(text.size())) != 0) {
    // A reservation that failed part-way may have lengthened the file: back to what it was.
    struct stat now;
    const bool grew = fstat(fd, &now) == 0 && now.st_size != before.st_size;
    if (grew && ftruncate(fd, before.st_size) != 0) {
      // Nothing more can be done; the save fails either way.
    }
    ok = false;
  }
  ok = ok && WriteAll(fd, text) && ftruncate(fd, static_cast<off_t>(text.size())) == 0 &&
       fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  return ok;
}

bool WriteLines(const std::string& path, const std::vector<Line>& lines) {
  std::string text;
  for (const Line& line : lines) text += line.text + line.ending;
  struct stat old;
  const bool exists = stat(path.c_str(), &old) == 0;
  if (exists && old.st_nlink > 1) return RewriteInPlace(path, text);
  switch (ReplaceThroughTemporary(path, text, exists ? &old : nullptr)) {
    case Replaced::Done:
      return true;
    case Replaced::Failed:
      return false;
    case Replaced::NotHere:
      break;
  }
  return exists && RewriteInPlace(path, text);
}

const std::string kCrLf = "\r\n";

}  // namespace

void SetProfileDirectory(const std::string& directory) {
  profileDirectory = directory.empty() ? kDefaultWindowsDirectory : directory;
}

void SetProfileFileOverride(const std::string& path) {
  profileFileOverride = path;
}

std::string ResolveProfilePath(const char* fileName) {
  const std::string name = fileName ? fileName : "";
  if (name.find('/') != std::string::npos) return name;
  if (!profileFileOverride.empty()) return profileFileOverride;
  return profileDirectory + "/" + name;
}

constexpr std::size_t kProfileIntDigits = 29;

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  const auto fallback = static_cast<UINT>(defaultValue);
  if (section == nullptr || key == nullptr) return fallback;
  std::vector<Line> lines;
  if (!ReadLines(ResolveProfilePath(fileName), lines)) return fallback;
  const long header = FindSection(lines, section);
  if (header < 0) return fallback;
  const long at = FindKey(lines, static_cast<std::size_t>(header), key);
  if (at < 0) return fallback;
  std::string name, value;
  KeyOf(lines[static_cast<std::size_t>(at)], name, value);
  value = StripQuotes(value);
  if (value.empty()) return fallback;
  // Windows reads the value into a buffer of 30 characters before converting it, so only the
  // first 29 take part.
  return ParseProfileInt(value.substr(0, kProfileIntDigits));
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (section == nullptr) return FALSE;
  const std::string path = FileBehindLinks(ResolveProfilePath(fileName));
  if (IsReadOnly(path)) return FALSE;
  // A missing file is an empty one. A file that exists but cannot be read is left alone: writing
  // it from nothing would lose every other section.
  std::vector<Line> lines;
  const PathKind kind = KindOf(path);
  if (kind == PathKind::Other) return FALSE;
  if (kind == PathKind::RegularFile && !ReadLines(path, lines)) return FALSE;
  const long header = FindSection(lines, section);
  if (key == nullptr) {  // delete the whole section
    if (header < 0) return TRUE;
    const auto begin = lines.begin() + header;
    lines.erase(begin, lines.begin() + static_cast<long>(SectionEnd(lines, header)));
    return WriteLines(path, lines) ? TRUE : FALSE;
  }
  const std::string entry = std::string(key) + "=" + (value ? value : "");
  if (header < 0) {
    if (value == nullptr) return TRUE;
    if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = kCrLf;
    lines.push_back({std::string("[") + section + "]", kCrLf});
    lines.push_back({entry, kCrLf});
    return WriteLines(path, lines) ? TRUE : FALSE;
  }
  const long at = FindKey(lines, static_cast<std::size_t>(header), key);
  if (at >= 0) {
    Line& line = lines[static_cast<std::size_t>(at)];
    if (value == nullptr)
      lines.erase(lines.begin() + at);
    else
      line.text = entry;
  } else {
    if (value == nullptr) return TRUE;
    // A new key goes after the section's last non-blank line.
    std::size_t last = static_cast<std::size_t>(header);
    const std::size_t end = SectionEnd(lines, static_cast<std::size_t>(header));
    for (std::size_t i = last + 1; i < end; ++i)
      if (!Trim(lines[i].text).empty()) last = i;
    if (lines[last].ending.empty()) lines[last].ending = kCrLf;
    lines.insert(lines.begin() + static_cast<long>(last) + 1, Line{entry, kCrLf});
  }
  return WriteLines(path, lines) ? TRUE : FALSE;
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  // wsprintf writes at most 1024 characters.
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(buffer, 1025, format, args);
  va_end(args);
  return written < 0 ? 0 : (written > 1024 ? 1024 : written);
}
