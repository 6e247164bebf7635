#pragma once

#include <QString>

namespace vrx {

// The path a save dialog's answer stands for: the type chosen in the dialog decides the
// file's format, so a path without one of that type's suffixes gets its first one.
// "pins" with "CSV files (*.csv)" is "pins.csv"; "pins.htm" with "HTML files (*.html
// *.htm)" stays. A type without a pattern leaves the path as it is.
QString withSuffixOfType(const QString& path, const QString& fileType);

}  // namespace vrx
