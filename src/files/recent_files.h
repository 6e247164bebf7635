#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vrx {

// File › Recent Files holds this many files.
inline constexpr std::size_t kRecentFileCount = 6;

// The recent-files list after `path` was opened or saved: it moves to the front, appears
// once, and the oldest beyond kRecentFileCount drop off. An empty path changes nothing.
std::vector<std::string> withRecentFile(std::vector<std::string> recent, const std::string& path);

}  // namespace vrx
