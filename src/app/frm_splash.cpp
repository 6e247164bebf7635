#include "app/frm_splash.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QVersionNumber>

#include "app/app_art.h"

namespace vrx::app {

QString versionLabelText() {
    const auto version = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    return QStringLiteral("Version %1.%2.%3")
        .arg(version.majorVersion())
        .arg(version.minorVersion())
        .arg(version.microVersion());
}

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("VRXConfig"));
    setFocusPolicy(Qt::StrongFocus);

    auto* picture = new QLabel(this);
    picture->setPixmap(organPipesPicture(QSize(480, 260), devicePixelRatioF()));
    auto* name = new QLabel(QStringLiteral("VRXConfig"), this);
    name->setObjectName(QStringLiteral("lblName"));
    auto font = name->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    name->setFont(font);
    name->setAlignment(Qt::AlignCenter);
    auto* lblVersion = new QLabel(versionLabelText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(name);
    layout->addWidget(lblVersion);

    Timer1_.setObjectName(QStringLiteral("Timer1"));
    Timer1_.setSingleShot(true);
    Timer1_.setInterval(kShowMs);
    connect(&Timer1_, &QTimer::timeout, this, &frmSplash::finish);
    Timer1_.start();
}

void frmSplash::mousePressEvent(QMouseEvent*) {
    finish();
}
void frmSplash::keyPressEvent(QKeyEvent*) {
    finish();
}

void frmSplash::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    Timer1_.stop();
    hide();
    emit finished();
}

}  // namespace vrx::app
