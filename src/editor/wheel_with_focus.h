#pragma once

class QWidget;

namespace vrx {

// A drop-down in a long scrolling page must not change while the user only wheels past
// it: it takes wheel events once it has the focus (clicked or tabbed into), and until
// then the wheel scrolls the page.
void takeWheelOnlyWithFocus(QWidget& control);

}  // namespace vrx
