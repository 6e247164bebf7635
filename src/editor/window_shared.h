#pragma once

// What the editor window's command files share: the words of its titles and the
// conversion of a file dialog's answer into a path the file functions take.

#include <QFile>
#include <QString>

#include <filesystem>

namespace vrx::window {

inline const QString kTitleStem = QStringLiteral("VRXConfig");
inline const QString kSaveErrorTitle = QStringLiteral("File Save Error!");

// The tabs of `tabScope`, in their order.
enum Tab { kChannelTab = 0, kPinTab = 1, kGeneralTab = 2 };

inline std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace vrx::window
