#pragma once

#include "files/window_placement.h"

class QScreen;
class QWidget;

namespace vrx::app {

// The part of `screen` windows may use, as the settings file measures it.
ScreenGeometry availableAreaOf(const QScreen& screen);

// Where the window is, as it is stored: the frame's top-left corner (what move() takes)
// and the size inside the frame (what resize() takes). Storing geometry()'s corner
// instead would put the window one frame lower and further right on every start.
WindowPlacement placementOf(const QWidget& window, const ScreenGeometry& screen);

// The screen that holds the stored top-left corner, else the window's own screen.
const QScreen& screenHolding(const QWidget& window, const WindowPlacement& stored,
                             const ScreenGeometry& units);

// Moves and sizes the window as `placed` says (state aside).
void applyPlacement(QWidget& window, const WindowPlacement& placed, const ScreenGeometry& units);

}  // namespace vrx::app
