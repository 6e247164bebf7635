#pragma once

#include <filesystem>
#include <string_view>

#include "protocol/result.h"

namespace vrx {

// Replaces `path` with `contents` so that the old file survives any failure: the bytes
// go to a temporary file in the same folder, are flushed, and only then renamed over
// the target. A crash, a full disk or an I/O error leaves the previous file as it was.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

// Test seam: when set, called between writing the temporary file and the rename; a
// failure returned from it is treated like a failed rename.
using BeforeRenameHook = Status (*)(const std::filesystem::path& temporary);
void setBeforeRenameHookForTesting(BeforeRenameHook hook);

Result<std::string> readWholeFile(const std::filesystem::path& path);

}  // namespace vrx
