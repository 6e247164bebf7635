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
constexpr const char* kLargePictureSuffix = "@2x.bmp";

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
        if (!QPixmap(file).isNull()) {
            // "<key>@2x.bmp" beside it, drawn at twice the size, is what a screen that
            // scales by two shows, rather than the small picture blown up.
            QIcon icon;
            icon.addFile(file);
            const QString large = QFileInfo(file).dir().filePath(key + kLargePictureSuffix);
            if (!QPixmap(large).isNull()) {
                icon.addFile(large);
            }
            return icon;
        }
    }
    return style.standardIcon(standInFor(key));
}

}  // namespace vrx
