#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string_view>

#include "protocol/result.h"

// What the files layer needs of the operating system, one implementation per platform
// (platform_posix.cpp, platform_windows.cpp; CMake builds the one that fits).
namespace vrx::platform {

// Opens a file with a C stdio mode ("rb", "ab", "wbx"); the name reaches the system
// whole, also beyond ASCII. Null on failure, with errno set.
std::FILE* openFile(const std::filesystem::path& path, const char* mode);

// Creates `path`, which must not exist yet, writes `contents` and makes sure they are on
// the disk before returning. `alreadyExists` tells a name taken by another file apart
// from every other failure.
Status writeNewFileToDisk(const std::filesystem::path& path, std::string_view contents,
                          bool& alreadyExists);

// Puts `replacement` in the place of `target`, replacing it if it exists, as one step
// that leaves either the old or the new file under the name.
Status replaceFile(const std::filesystem::path& replacement, const std::filesystem::path& target);

// The current date and time in the user's time zone, without the shared buffer of
// std::localtime.
std::tm localTimeNow();

// Whether a new file can be made in `folder`, as far as the system tells before trying.
bool folderTakesNewFiles(const std::filesystem::path& folder);

// The folder of the running program's executable; empty when the system cannot tell.
std::filesystem::path runningExecutableFolder();

}  // namespace vrx::platform
