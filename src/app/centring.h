#pragma once

class QWidget;

namespace vrx::app {

// Moves `window` so its centre lies on the centre of `owner`, or of the screen without
// one, keeping it on the screen.
void centreOver(QWidget& window, const QWidget* owner);

}  // namespace vrx::app
