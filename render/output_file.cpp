// Which outputs a failed run may remove, judged by what the path itself names (lstat).
#include "render/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

OutputFile NoteOutput(const std::string& path) {
  OutputFile output;
  output.path = path;
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    output.removable = true;
    output.device = info.st_dev;
    output.inode = info.st_ino;
  }
  return output;
}

void RemoveHalfWritten(const OutputFile& output) {
  if (!output.removable) return;
  // The same file, not one put in its place while the frames were made.
  struct stat info;
  if (lstat(output.path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      info.st_dev == output.device && info.st_ino == output.inode)
    unlink(output.path.c_str());
}
