#include "app/app_art.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vrx::app {
namespace {

void drawPipe(QPainter& p, QRectF body) {
    QLinearGradient metal(body.topLeft(), body.topRight());
    metal.setColorAt(0.0, QColor(150, 120, 60));
    metal.setColorAt(0.45, QColor(245, 225, 160));
    metal.setColorAt(1.0, QColor(120, 90, 40));
    p.setPen(QPen(QColor(80, 60, 20), 1));
    p.setBrush(metal);
    p.drawRoundedRect(body, 2, 2);
    // The mouth of the pipe, a quarter up from its foot.
    const qreal mouthY = body.bottom() - body.height() * 0.25;
    QPainterPath mouth;
    mouth.moveTo(body.left() + body.width() * 0.2, mouthY);
    mouth.lineTo(body.right() - body.width() * 0.2, mouthY);
    mouth.lineTo(body.center().x(), mouthY + body.width() * 0.35);
    mouth.closeSubpath();
    p.setBrush(QColor(40, 30, 10));
    p.drawPath(mouth);
}

}  // namespace

QPixmap organPipesPicture(QSize size, qreal pixelRatio) {
    QPixmap picture(size * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(30, 36, 60));
    sky.setColorAt(1, QColor(70, 40, 30));
    p.fillRect(QRect(QPoint(), size), sky);

    const int pipes = 15;
    const qreal slot = size.width() / qreal(pipes + 2);
    const qreal base = size.height() * 0.82;
    for (int i = 0; i < pipes; ++i) {
        // Tallest in the middle, like the front of a case.
        const qreal distance = std::abs(i - pipes / 2) / qreal(pipes / 2);
        const qreal height = size.height() * (0.70 - 0.38 * distance);
        const qreal width = slot * 0.7;
        drawPipe(p, QRectF(slot * (i + 1) + (slot - width) / 2, base - height, width, height));
    }
    p.fillRect(QRectF(0, base, size.width(), size.height() - base), QColor(60, 35, 20));
    p.setPen(QColor(110, 70, 40));
    p.drawLine(QPointF(0, base), QPointF(size.width(), base));
    return picture;
}

QIcon programIcon() {
    // An installed program has its icon in the desktop's theme, the same the menu shows;
    // an unpacked copy draws its own.
    QIcon drawn;
    for (const int side : {16, 32, 64, 128, 256}) {
        drawn.addPixmap(organPipesPicture(QSize(side, side)));
    }
    return QIcon::fromTheme(QStringLiteral("vrxconfig"), drawn);
}

}  // namespace vrx::app
