// The renderer's outputs as files: whether --out and --gif name one file, and what a failed write
// may remove. The half-written picture is removed only when the path names a plain file directly;
// a device (/dev/stdout, a disk), a pipe or a symbolic link is left as it is, since unlinking it
// would take away the device node or the link, not the picture.
#pragma once

#include <sys/types.h>

#include <string>

struct OutputFile {
  std::string path;
  bool plainFile = false;  // what the path leads to, through links or not
  bool removable = false;  // a plain file that the path names directly
  dev_t device = 0;
  ino_t inode = 0;
};

// Notes what the path is, just after it was opened for writing.
OutputFile NoteOutput(const std::string& path);

// Both lead to one plain file, which the two writers would overwrite in turn.
bool SameFile(const OutputFile& one, const OutputFile& other);

// Removes the output if it is still the plain file that was opened.
void RemoveHalfWritten(const OutputFile& output);
