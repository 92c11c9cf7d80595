// The renderer's outputs after a failed write: the half-written picture is removed, but only when
// the path names a plain file directly. A device (/dev/stdout, a disk), a pipe or a symbolic link
// is left as it is: unlinking it would take away the device node or the link, not the picture.
#pragma once

#include <sys/types.h>

#include <string>

struct OutputFile {
  std::string path;
  bool removable = false;  // a plain file, not reached through a link
  dev_t device = 0;
  ino_t inode = 0;
};

// Notes what the path is, just after it was opened for writing.
OutputFile NoteOutput(const std::string& path);

// Removes the output if it is still the plain file that was opened.
void RemoveHalfWritten(const OutputFile& output);
