// The Linux private-profile store on awkward files: what it reads, and that a write changes only
// the one value it writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "posix/private_profile_location.h"
#include "process_folder.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"
#include "settings_file.h"
#include "windows.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// A 64 kB tmpfs in the test's folder (root only), to be filled to its last page; unmounted again
// at the end. Its folder is root's and open to all for reading, as a system folder is.
class SmallDisk {
 public:
  SmallDisk() : folder_(ProcessFolder() + "/disk"), filler_(folder_ + "/filler") {
    mkdir(folder_.c_str(), 0755);
    mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
    if (!mounted_) error_ = std::strerror(errno);
    chmod(ProcessFolder().c_str(), 0711);  // another user saves in it
  }
  ~SmallDisk() {
    Empty();
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    rmdir(folder_.c_str());
    chmod(ProcessFolder().c_str(), 0700);
  }
  bool Mounted() const { return mounted_; }
  const std::string& Error() const { return error_; }
  const std::string& Folder() const { return folder_; }
  // Takes every page that is left.
  bool Fill() {
    const int fd = open(filler_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    static const char page[4096] = {};
    while (write(fd, page, sizeof page) > 0) {
    }
    const bool full = errno == ENOSPC;
    close(fd);
    return full;
  }
  void Empty() { unlink(filler_.c_str()); }

 private:
  std::string folder_, filler_, error_;
  bool mounted_ = false;
};

class PrivateProfileTest : public ::testing::Test {
 protected:
  void SetUp() override { UseFreshSettingsFile(); }
  void TearDown() override {
    chmod(SettingsFilePath().c_str(), 0644);
    UseFreshSettingsFile();
  }
  static UINT Read(const char* key, int fallback = 77) {
    return GetPrivateProfileIntA(kSettingsSection, key, fallback, kSettingsFileName);
  }
  static BOOL Write(const char* key, const char* value) {
    return WritePrivateProfileStringA(kSettingsSection, key, value, kSettingsFileName);
  }
};

TEST_F(PrivateProfileTest, ReadsFromAwkwardFiles) {
  struct Case {
    std::string file;
    UINT value;
  };
  const std::string header = "[Glimra ScreenSaver]\n";
  const Case cases[] = {
      {header + "cir=1\ncir=2\n", 1},                  // the first of duplicate keys
      {"[glimra screensaver]\r\n  CIR =  3 \r\n", 3},  // names are case-insensitive
      {"[Other]\ncir=4\n", 77},                        // a key in another section
      {header + "cir=\n", 77},                         // an empty value
      {header + "cir=\"6\"\n", 6},                     // quoted
      {std::string("\0\1\2[Glimra ScreenSaver]\0\n", 26) + "cir=8", 77},
      {std::string("\xff\xfe\x00\x01garbage", 12), 77},
      {header + "cir=5", 5},  // no final line end
      {header + "cir=-1\n", 4294967295u},
  };
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    WriteSettingsFile(cases[i].file);
    EXPECT_EQ(Read("cir"), cases[i].value) << "case " << i;
  }
}

TEST_F(PrivateProfileTest, LongValuesCountTheirFirstTwentyNineCharacters) {
  // As Windows reads them: the value goes through a 30-character buffer, and the digits that fit
  // wrap modulo 2^32 like any other digit run.
  std::uint32_t wrapped = 0;
  for (int d = 0; d < 29; ++d) wrapped = wrapped * 10 + 9;
  const struct {
    std::string value;
    UINT expected;
  } cases[] = {
      {std::string(1 << 20, '9'), wrapped},
      {std::string(29, '9') + "123", wrapped},
      {std::string(35, '0') + "7", 0},
      {std::string(28, '0') + "7", 7},
  };
  for (const auto& c : cases) {
    WriteSettingsFile("[Glimra ScreenSaver]\ncir=" + c.value + "\n");
    EXPECT_EQ(Read("cir"), c.expected) << c.value.size() << " characters";
  }
}

TEST_F(PrivateProfileTest, MissingOrUnreadableFilesGiveTheDefault) {
  EXPECT_EQ(Read("cir"), 77u);
  mkdir(SettingsFilePath().c_str(), 0755);  // a folder where the file should be
  EXPECT_EQ(Read("cir"), 77u);
  EXPECT_FALSE(Write("cir", "3"));
  rmdir(SettingsFilePath().c_str());
}

TEST_F(PrivateProfileTest, WritesKeepEveryOtherByte) {
  struct Case {
    std::string before;
    std::string after;  // after writing cir=3
  };
  const Case cases[] = {
      {"", "[Glimra ScreenSaver]\r\ncir=3\r\n"},
      {"[A]\nx=1", "[A]\nx=1\r\n[Glimra ScreenSaver]\r\ncir=3\r\n"},
      {"[Glimra ScreenSaver]\nCir = 9 ; old\n[B]\n", "[Glimra ScreenSaver]\ncir=3\n[B]\n"},
      {"[Glimra ScreenSaver]\r\na=1\r\n\r\n[B]\r\nb=2\r\n",
       "[Glimra ScreenSaver]\r\na=1\r\ncir=3\r\n\r\n[B]\r\nb=2\r\n"},
      {"#x\n[Glimra ScreenSaver]\ncir=1\ncir=2\n", "#x\n[Glimra ScreenSaver]\ncir=3\ncir=2\n"},
  };
  for (const Case& c : cases) {
    WriteSettingsFile(c.before);
    EXPECT_TRUE(Write("cir", "3"));
    EXPECT_EQ(ReadSettingsFile(), c.after) << '"' << c.before << '"';
  }
}

TEST_F(PrivateProfileTest, ReadOnlyFileIsLeftAlone) {
  const std::string before = "[Glimra ScreenSaver]\r\ncir=2\r\n[Other]\r\nk=v\r\n";
  WriteSettingsFile(before);
  chmod(SettingsFilePath().c_str(), 0444);
  saverSettings.cir = 3;
  SaveSettings();  // every write fails quietly
  EXPECT_EQ(ReadSettingsFile(), before);
  EXPECT_FALSE(Write("cir", "1"));
}

TEST_F(PrivateProfileTest, PathsThatAreNoRegularFileAreNeverOpened) {
  // A pipe would block the reader for ever; a socket cannot be opened at all. Reads give the
  // default at once, writes fail and leave the node as it was.
  const std::string path = SettingsFilePath();
  struct Case {
    const char* what;
    bool (*make)(const std::string&);
    mode_t kind;
  };
  const Case cases[] = {
      {"a folder", [](const std::string& p) { return mkdir(p.c_str(), 0755) == 0; }, S_IFDIR},
      {"a pipe", [](const std::string& p) { return mkfifo(p.c_str(), 0644) == 0; }, S_IFIFO},
      {"a socket",
       [](const std::string& p) {
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         if (p.size() >= sizeof address.sun_path) return false;
         p.copy(address.sun_path, p.size());
         const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
         const bool made = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
         close(fd);
         return made;
       },
       S_IFSOCK},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.make(path)) << c.what;
    EXPECT_EQ(Read("cir"), 77u) << c.what;
    EXPECT_FALSE(Write("cir", "3")) << c.what;
    saverSettings.cir = 3;
    SaveSettings();
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0) << c.what;
    EXPECT_EQ(info.st_mode & S_IFMT, c.kind) << c.what;
    if (c.kind == S_IFDIR)
      rmdir(path.c_str());
    else
      unlink(path.c_str());
  }
}

TEST_F(PrivateProfileTest, FileThatCannotBeReadIsNotReplaced) {
  // A file its user may write but not read (mode 0200 in a folder open to all): writing it from
  // nothing would lose every other section, so the write fails instead.
  const std::string before = "[Other]\r\nk=v\r\n[Glimra ScreenSaver]\r\ncir=2\r\n";
  WriteSettingsFile(before);
  const std::string folder = SettingsFilePath().substr(0, SettingsFilePath().rfind('/'));
  chmod(folder.c_str(), 0777);
  chmod(SettingsFilePath().c_str(), 0200);
  const bool asRoot = geteuid() == 0;
  if (asRoot) {
    ASSERT_EQ(seteuid(65534), 0);  // root reads anything; another user does not
  }
  const UINT read = Read("cir");
  const BOOL written = Write("cir", "3");
  if (asRoot) {
    ASSERT_EQ(seteuid(0), 0);
  }
  chmod(folder.c_str(), 0700);
  EXPECT_EQ(read, 77u);
  EXPECT_FALSE(written);
  chmod(SettingsFilePath().c_str(), 0644);
  EXPECT_EQ(ReadSettingsFile(), before);
}

TEST_F(PrivateProfileTest, WritesGoThroughALinkToItsFile) {
  // A settings file linked from elsewhere stays linked: the file behind the link is updated.
  const std::string target = SettingsFilePath() + ".real";
  {
    std::FILE* f = std::fopen(target.c_str(), "wb");
    std::fputs("[Other]\r\nk=v\r\n", f);
    std::fclose(f);
  }
  ASSERT_EQ(symlink(target.c_str(), SettingsFilePath().c_str()), 0);
  EXPECT_TRUE(Write("cir", "3"));
  struct stat info;
  ASSERT_EQ(lstat(SettingsFilePath().c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadSettingsFile(), "[Other]\r\nk=v\r\n[Glimra ScreenSaver]\r\ncir=3\r\n");
  unlink(SettingsFilePath().c_str());
  std::remove(target.c_str());
}

TEST_F(PrivateProfileTest, SavesThroughALinkToAFileStillToCome) {
  const std::string path = SettingsFilePath();
  const std::string target = path.substr(0, path.rfind('/')) + "/elsewhere.ini";
  ASSERT_EQ(symlink("elsewhere.ini", path.c_str()), 0);
  EXPECT_TRUE(Write("cir", "3"));
  struct stat info;
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(ReadSettingsFile(), "[Glimra ScreenSaver]\r\ncir=3\r\n");
  unlink(path.c_str());
  std::remove(target.c_str());
}

TEST_F(PrivateProfileTest, SavesAnotherUsersFileAsItWas) {
  // A writable file in a folder its user may not write (so no temporary can replace it), and a file
  // of another owner with its own mode: each is saved, keeps its owner and mode, and loses nothing.
  if (geteuid() != 0)
    GTEST_SKIP() << "needs root: only root can give the file another owner, or close its folder "
                    "to the file's user while that user saves";
  const std::string path = SettingsFilePath();
  const std::string folder = path.substr(0, path.rfind('/'));
  const struct {
    const char* what;
    mode_t folderMode;  // with `asUser`, the folder is root's and the file the user's
    bool asUser;
    mode_t fileMode;
  } cases[] = {
      {"a writable file in a closed folder", 0755, true, 0664},
      {"another owner's file and mode", 0700, false, 0640},
  };
  for (const auto& c : cases) {
    UseFreshSettingsFile();
    WriteSettingsFile("[Other]\r\nk=v\r\n");
    chmod(path.c_str(), c.fileMode);
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0) << c.what;
    chmod(folder.c_str(), c.folderMode);
    if (c.asUser) {
      ASSERT_EQ(seteuid(65534), 0);
    }
    const BOOL written = Write("cir", "3");
    if (c.asUser) {
      ASSERT_EQ(seteuid(0), 0);
    }
    chmod(folder.c_str(), 0700);
    EXPECT_TRUE(written) << c.what;
    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0) << c.what;
    EXPECT_EQ(info.st_mode & 07777, c.fileMode) << c.what;
    EXPECT_EQ(info.st_uid, 65534u) << c.what;
    EXPECT_EQ(ReadSettingsFile(), "[Other]\r\nk=v\r\n[Glimra ScreenSaver]\r\ncir=3\r\n") << c.what;
    unlink(path.c_str());
  }
}

TEST_F(PrivateProfileTest, HardLinksStayOneFile) {
  // A settings file with another name (a hard link) is changed in place: both names show the save.
  const std::string path = SettingsFilePath();
  const std::string other = path + ".link";
  WriteSettingsFile("[Other]\r\nk=v\r\n");
  ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
  EXPECT_TRUE(Write("cir", "3"));
  EXPECT_TRUE(Write("k", "1"));
  struct stat first, second;
  ASSERT_EQ(stat(path.c_str(), &first), 0);
  ASSERT_EQ(stat(other.c_str(), &second), 0);
  EXPECT_EQ(first.st_ino, second.st_ino);
  EXPECT_EQ(first.st_nlink, 2u);
  EXPECT_EQ(ReadSettingsFile(), "[Other]\r\nk=v\r\n[Glimra ScreenSaver]\r\ncir=3\r\nk=1\r\n");
  unlink(other.c_str());
}

TEST_F(PrivateProfileTest, FullDiskLeavesTheFileAsItWas) {
  // On a small file system filled to the last page, a save that makes the file longer fails and
  // leaves every byte as it was, whichever way it writes; with room again the same save succeeds.
  if (geteuid() != 0) GTEST_SKIP() << "needs root: mounting a small file system to fill";
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here: " << disk.Error();
  const std::string path = disk.Folder() + "/Tovalesk.ini";
  const std::string other = path + ".link";
  SetProfileFileOverride(path);
  // One full page: the next byte needs a page that the full disk no longer has.
  const std::string head = "[Glimra ScreenSaver]\r\ncir=2\r\n[Other]\r\nk=";
  const std::string before = head + std::string(4096 - head.size() - 2, 'v') + "\r\n";
  const struct {
    const char* what;
    bool asUser;    // the file is the user's in root's folder: it is rewritten in place
    bool hardLink;  // a second name: it is rewritten in place
  } cases[] = {
      {"through a temporary", false, false},
      {"in place, in a closed folder", true, false},
      {"in place, with a hard link", false, true},
  };
  const std::string after = "[Glimra ScreenSaver]\r\ncir=12345\r\n[Other]\r\nk=vvv";
  for (const auto& c : cases) {
    const auto save = [&c] {
      if (c.asUser && seteuid(65534) != 0) return FALSE;
      const BOOL written = Write("cir", "12345");
      if (c.asUser && seteuid(0) != 0) std::abort();  // the rest of the run would not be root's
      return written;
    };
    { std::ofstream(path, std::ios::binary) << before; }
    if (c.hardLink) {
      ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    }
    if (c.asUser) {
      ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
    ASSERT_TRUE(disk.Fill()) << c.what;
    EXPECT_FALSE(save()) << c.what;
    EXPECT_TRUE(ReadFile(path) == before) << c.what << ": the file changed";  // (4 kB unprinted)
    disk.Empty();
    EXPECT_TRUE(save()) << c.what;
    EXPECT_EQ(ReadFile(path).substr(0, after.size()), after) << c.what;
    if (c.hardLink) {
      EXPECT_TRUE(ReadFile(other) == ReadFile(path)) << c.what << ": the link was split";
      unlink(other.c_str());
    }
    unlink(path.c_str());
  }
}

TEST_F(PrivateProfileTest, FileOverrideAndPaths) {
  SetProfileFileOverride("/tmp/elsewhere.ini");
  EXPECT_EQ(ResolveProfilePath("Tovalesk.ini"), "/tmp/elsewhere.ini");
  EXPECT_EQ(ResolveProfilePath("/a/b.ini"), "/a/b.ini");
  SetProfileFileOverride("");
  SetProfileDirectory("");
  EXPECT_EQ(ResolveProfilePath("Tovalesk.ini"),
            std::string(kDefaultWindowsDirectory) + "/Tovalesk.ini");
}

TEST_F(PrivateProfileTest, FormatsLikeWsprintf) {
  char text[20];
  EXPECT_EQ(wsprintfA(text, "%d", -2147483647 - 1), 11);
  EXPECT_STREQ(text, "-2147483648");
}

}  // namespace
