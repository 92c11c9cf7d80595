// What the renderer's output paths lead to (stat) and name (lstat).
#include "render/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

OutputFile NoteOutput(const std::string& path) {
  OutputFile output;
  output.path = path;
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return output;
  output.plainFile = true;
  output.device = info.st_dev;
  output.inode = info.st_ino;
  output.removable = lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  return output;
}

bool SameFile(const OutputFile& one, const OutputFile& other) {
  return one.plainFile && other.plainFile && one.device == other.device && one.inode == other.inode;
}

void RemoveHalfWritten(const OutputFile& output) {
  if (!output.removable) return;
  // The same file, not one put in its place while the frames were made.
  struct stat info;
  if (lstat(output.path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      info.st_dev == output.device && info.st_ino == output.inode)
    unlink(output.path.c_str());
}
