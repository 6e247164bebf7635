#pragma once

#include <QString>

#include "model/pin_list.h"
#include "protocol/result.h"

class QPrinter;

namespace vrx {

// Writes the pin list into a file whose suffix names the format: ".csv", ".html" or
// ".htm", anything else a PDF page set. The file is replaced only when all is written.
Status writePinListFile(const QString& path, const PinListSheet& sheet);

// Prints the pin list on a printer the user has set up.
void printPinList(QPrinter& printer, const PinListSheet& sheet);

}  // namespace vrx
