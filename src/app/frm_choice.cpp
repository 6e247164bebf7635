#include "app/frm_choice.h"

#include <QCommandLinkButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_art.h"

namespace vrx::app {

frmChoice::frmChoice(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmChoice"));
    setWindowTitle(QStringLiteral("VRXConfig"));

    auto* picture = new QLabel(this);
    picture->setPixmap(organPipesPicture(QSize(520, 220), devicePixelRatioF()));

    // Command links read as the clickable captions they are, and take the keyboard.
    auto* lblLoad = new QCommandLinkButton(tr("Open Previously Saved VRX Configuration"),
                                           tr("Edit a configuration kept in a .vrx file."), this);
    lblLoad->setObjectName(QStringLiteral("lblLoad"));
    auto* lblWizard =
        new QCommandLinkButton(tr("Load Current Settings from the VRX"),
                               tr("Read a program from the unit over MIDI and edit it."), this);
    lblWizard->setObjectName(QStringLiteral("lblWizard"));
    // The styles draw no focus mark on command links: the way Enter takes gets a frame.
    setStyleSheet(
        QStringLiteral("QCommandLinkButton { border: 2px solid transparent; border-radius: 4px; }"
                       "QCommandLinkButton:focus { border-color: palette(highlight); }"));
    // Outside a dialog a button ignores Enter unless told otherwise.
    lblLoad->setAutoDefault(true);
    lblWizard->setAutoDefault(true);
    connect(lblLoad, &QCommandLinkButton::clicked, this,
            [this] { emit startRequested(QStringLiteral("Load")); });
    connect(lblWizard, &QCommandLinkButton::clicked, this,
            [this] { emit startRequested(QStringLiteral("New")); });

    auto* cmdHelp = new QPushButton(tr("&Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setToolTip(tr("Open the user guide."));
    connect(cmdHelp, &QPushButton::clicked, this, &frmChoice::helpRequested);
    auto* cmdExit = new QPushButton(tr("E&xit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    connect(cmdExit, &QPushButton::clicked, this, &frmChoice::exitRequested);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(lblLoad);
    layout->addWidget(lblWizard);
    layout->addLayout(buttons);
}

void frmChoice::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit exitRequested();
}

void frmChoice::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first way in takes the keyboard, so Enter opens a file and Tab moves on.
    findChild<QWidget*>(QStringLiteral("lblLoad"))->setFocus(Qt::TabFocusReason);
}

}  // namespace vrx::app
