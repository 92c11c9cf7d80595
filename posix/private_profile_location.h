// Where the Linux private-profile functions look for a file given without a directory. Windows
// resolves such names in the Windows directory; here that is one fixed machine-wide folder, which
// tools and tests may replace.
#pragma once

#include <string>

constexpr char kDefaultWindowsDirectory[] = "/etc/glimra";

// The folder in which bare file names are resolved; empty restores the default.
void SetProfileDirectory(const std::string& directory);
// One file that every bare file name resolves to (a tool's --ini FILE); empty clears it.
void SetProfileFileOverride(const std::string& path);
// The path a file name given to the profile functions resolves to.
std::string ResolveProfilePath(const char* fileName);
