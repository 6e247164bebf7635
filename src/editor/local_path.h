#pragma once

// File names between Qt and the file functions. Qt holds them as UTF-16 and the file
// functions take std::filesystem::path, which reaches the system in its own form (UTF-8
// on Linux, wide characters on Windows): converting through UTF-16 keeps every name
// whole, where an 8-bit detour would lose what Windows' code page cannot hold.

#include <QString>

#include <filesystem>
#include <string>

namespace vrx {

inline std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

inline QString shownPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace vrx
