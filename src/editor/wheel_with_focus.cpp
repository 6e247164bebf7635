#include "editor/wheel_with_focus.h"

#include <QEvent>
#include <QWidget>

namespace vrx {
namespace {

class WheelWithFocusFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus()) {
            return false;
        }
        // Ignored and filtered: the control never sees it, and Qt hands it on to the
        // scroll area around the control.
        event->ignore();
        return true;
    }
};

}  // namespace

void takeWheelOnlyWithFocus(QWidget& control) {
    // The wheel must not hand the focus over either, or the next notch would change it.
    control.setFocusPolicy(Qt::StrongFocus);
    control.installEventFilter(new WheelWithFocusFilter(&control));
}

}  // namespace vrx
