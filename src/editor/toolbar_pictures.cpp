#include "editor/toolbar_pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QStyle>

#include <utility>

namespace vrx {
namespace {

constexpr const char* kPictureExtension = ".bmp";

QStyle::StandardPixmap standInFor(const QString& key) {
    if (key == "load") {
        return QStyle::SP_DialogOpenButton;
    }
    if (key == "save") {
        return QStyle::SP_DialogSaveButton;
    }
    if (key == "loado") {
        return QStyle::SP_ArrowDown;
    }
    if (key == "write") {
        return QStyle::SP_ArrowUp;
    }
    return QStyle::SP_ComputerIcon;
}

}  // namespace

ToolbarPictures::ToolbarPictures(QStringList folders) : folders_(std::move(folders)) {}

QStringList ToolbarPictures::defaultFolders() {
    // <prefix>/bin/vrxconfig finds its data in <prefix>/share/vrxconfig wherever the
    // package put <prefix>.
    const QDir executableFolder(QCoreApplication::applicationDirPath());
    return {executableFolder.path(),
            QDir::cleanPath(executableFolder.filePath(QStringLiteral("../share/vrxconfig")))};
}

QString ToolbarPictures::pictureFile(const QString& key) const {
    for (const auto& folder : folders_) {
        const QString candidate = QDir(folder).filePath(key + kPictureExtension);
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return {};
}

QIcon ToolbarPictures::picture(const QString& key, const QStyle& style) const {
    const QString file = pictureFile(key);
    if (!file.isEmpty()) {
        QPixmap pixmap(file);
        if (!pixmap.isNull()) {
            return QIcon(pixmap);
        }
    }
    return style.standardIcon(standInFor(key));
}

}  // namespace vrx
