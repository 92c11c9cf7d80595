// A temporary folder of the test process's own (ctest runs every case as a process of its own,
// several at once), removed with its contents when the process ends, so that nothing piles up.
#pragma once

#include <string>

// The folder's path, made on the first call; "/tmp" itself if it cannot be made.
const std::string& ProcessFolder();
