#pragma once

#include <QPixmap>
#include <QSize>

namespace vrx::app {

// The picture of the splash and start screens: a row of organ pipes over a dark
// console, drawn at run time so it scales with the screen. `size` is in the window's
// own units; the picture has `pixelRatio` device pixels per unit, so it stays sharp on
// a screen that scales the window.
QPixmap organPipesPicture(QSize size, qreal pixelRatio = 1.0);

// The program's window icon.
QIcon programIcon();

}  // namespace vrx::app
