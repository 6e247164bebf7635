#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vrx {

// File names travel through the program as UTF-8 text. A std::string given straight
// to std::filesystem::path is read in the system's narrow code page on Windows, which
// mangles every name beyond ASCII; these two keep the name whole on every platform.
inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace vrx
