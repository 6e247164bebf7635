#include "app/dip_switch_view.h"

#include <QPainter>
#include <QPainterPath>

namespace vrx::app {
namespace {
// The bank is drawn on a 181 × 78 grid and scaled to the widget.
constexpr qreal kWidth = 181;
constexpr qreal kHeight = 78;
constexpr qreal kFirstSlotLeft = 33;
constexpr qreal kSlotPitch = 14.2;
constexpr qreal kSlotWidth = 8;
constexpr qreal kSlotHeight = 23;
constexpr qreal kSlotTop = 30;
constexpr qreal kLeverHeight = 9;
const QColor kLeverColour(64, 64, 64);
}  // namespace

DipSwitchView::DipSwitchView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picDipSwitch"));
    levers_.fill(Lever::Hidden);
    setMinimumSize(int(kWidth), int(kHeight));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize DipSwitchView::sizeHint() const {
    return {int(kWidth * 1.5), int(kHeight * 1.5)};
}

void DipSwitchView::setLevers(const std::array<Lever, kSwitches>& levers) {
    levers_ = levers;
    update();
}

void DipSwitchView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(width() / kWidth, height() / kHeight);

    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2, 2, kWidth - 4, kHeight - 4));

    // The arrow shows which way is "up", the position of a clear bit.
    QPainterPath arrow;
    arrow.moveTo(15, kSlotTop - 4);
    arrow.lineTo(9, kSlotTop + 6);
    arrow.lineTo(13, kSlotTop + 6);
    arrow.lineTo(13, kSlotTop + kSlotHeight + 4);
    arrow.lineTo(17, kSlotTop + kSlotHeight + 4);
    arrow.lineTo(17, kSlotTop + 6);
    arrow.lineTo(21, kSlotTop + 6);
    arrow.closeSubpath();
    p.setBrush(Qt::black);
    p.drawPath(arrow);

    auto font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    for (int i = 0; i < kSwitches; ++i) {
        const qreal left = kFirstSlotLeft + i * kSlotPitch;
        p.setPen(Qt::black);
        p.drawText(QRectF(left - 4, 10, kSlotWidth + 8, 14), Qt::AlignCenter,
                   QString::number(i + 1));
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(left, kSlotTop, kSlotWidth, kSlotHeight));
        if (levers_[i] == Lever::Hidden) {
            continue;
        }
        const qreal top =
            levers_[i] == Lever::Up ? kSlotTop + 1 : kSlotTop + kSlotHeight - kLeverHeight - 1;
        p.setPen(Qt::NoPen);
        p.setBrush(kLeverColour);
        p.drawRect(QRectF(left + 1, top, kSlotWidth - 2, kLeverHeight));
    }
}

}  // namespace vrx::app
