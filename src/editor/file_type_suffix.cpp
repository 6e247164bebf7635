#include "editor/file_type_suffix.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace vrx {

QString withSuffixOfType(const QString& path, const QString& fileType) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    QStringList suffixes;
    for (const auto& match : pattern.globalMatch(fileType)) {
        suffixes << match.captured(1).toLower();
    }
    if (suffixes.isEmpty() || suffixes.contains(QFileInfo(path).suffix().toLower())) {
        return path;
    }
    return path + '.' + suffixes.first();
}

}  // namespace vrx
