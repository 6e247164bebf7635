#pragma once

#include <QPixmap>
#include <QSize>

namespace vrx::app {

// The picture of the splash and start screens: a row of organ pipes over a dark
// console, drawn at run time so it scales with the screen.
QPixmap organPipesPicture(QSize size);

// The program's window icon.
QIcon programIcon();

}  // namespace vrx::app
