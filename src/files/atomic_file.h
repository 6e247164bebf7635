#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "protocol/result.h"

namespace vrx {

// Replaces `path` with `contents` so that the old file survives any failure: the bytes
// go to a temporary file in the same folder, are flushed, and only then renamed over
// the target. A crash, a full disk or an I/O error leaves the previous file as it was.
// A symbolic link stays a link: the file it points to is the one replaced.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

// Test seam: when set, called between writing the temporary file and the rename; a
// failure returned from it is treated like a failed rename.
using BeforeRenameHook = Status (*)(const std::filesystem::path& temporary);
void setBeforeRenameHookForTesting(BeforeRenameHook hook);

Result<std::string> readWholeFile(const std::filesystem::path& path);

// Reads a file the user picked, refusing what is no regular file (a FIFO would block the
// window until something writes into it, a device might never end) and what is larger
// than `maxBytes`.
Result<std::string> readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes);

}  // namespace vrx
