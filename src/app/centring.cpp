#include "app/centring.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vrx::app {

void centreOver(QWidget& window, const QWidget* owner) {
    const QScreen* screen =
        owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const auto area = screen ? screen->availableGeometry() : QRect();
    const auto target = owner ? owner->frameGeometry() : area;
    const auto frame = window.frameGeometry();
    int left = target.left() + (target.width() - frame.width()) / 2;
    int top = target.top() + (target.height() - frame.height()) / 2;
    if (area.isValid()) {
        // Never off the screen: a large window over a small owner keeps its title bar
        // within reach.
        left = std::clamp(left, area.left(), std::max(area.left(), area.right() - frame.width()));
        top = std::clamp(top, area.top(), std::max(area.top(), area.bottom() - frame.height()));
    }
    window.move(left, top);
}

}  // namespace vrx::app
