#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

class QStyle;

namespace vrx {

// The toolbar's pictures are files named after the button's key with ".bmp", looked up
// in the given folders in order. A missing or unreadable file must not cost the user a
// button, so the style's own icon for the same command stands in.
class ToolbarPictures {
public:
    explicit ToolbarPictures(QStringList folders);

    // Beside the executable, then the installed data folder.
    static QStringList defaultFolders();

    QIcon picture(const QString& key, const QStyle& style) const;
    // The file that picture() would read, or an empty text when none exists.
    QString pictureFile(const QString& key) const;

private:
    QStringList folders_;
};

}  // namespace vrx
