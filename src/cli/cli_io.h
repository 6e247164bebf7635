#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/vocabulary.h"
#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx::cli {

// What vrxtool returns to the shell.
constexpr int kExitSuccess = 0;
constexpr int kExitOutputFailed = 1;  // the output could not be written
constexpr int kExitBadInput = 2;      // an input was missing, unreadable or invalid

// Prints "vrxtool: <message>" on stderr as the one line the user sees, and returns
// `status` so a command can end with `return fail(...)`.
int fail(int status, std::string_view message);

// "a, b, c" (or with another separator), for the lines that name several files.
std::string joinedWith(const std::vector<std::string>& items, std::string_view separator = ", ");

// File names are the UTF-8 text the user gave, and are named in errors as given.

// The whole of an input file; the error names the file.
Result<std::string> readInput(const std::string& path);

// The Program Data image a configuration file holds, all 260 bytes as they stand. The
// error names the file and the line.
Result<Bytes> readImageFile(const std::string& path);

// Replaces `path` atomically; on failure reports it and returns kExitOutputFailed, so an
// earlier file of that name stays as it was.
int writeOutput(const std::string& path, std::string_view contents);

// Writes to stdout; a failed write (a full disk behind a redirection) is an output failure.
int printOutput(std::string_view text);

// The instrument names the editor shows, from genmidi.txt beside vrxtool or, for an
// installed vrxtool, from its installed data.
NameList instrumentNamesBesideProgram();

}  // namespace vrx::cli
