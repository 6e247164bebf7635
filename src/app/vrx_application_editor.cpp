// The editor window joined to the device link: the window is made once, and its unit
// commands, options and help reach the link and the other windows from here.
#include <QAction>
#include <QMenu>
#include <QNetworkInformation>

#include "app/app_art.h"
#include "app/frm_connection_check.h"
#include "app/qt_link_view.h"
#include "app/vrx_application.h"
#include "editor/qt_editor_dialogs.h"
#include "link/device_link.h"
#include "link/kept_devices.h"

namespace vrx::app {
namespace {

// Only a network that is plainly gone counts: where the platform cannot tell, the
// manual's address is tried.
bool networkReachable() {
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        return true;
    }
    return QNetworkInformation::instance()->reachability() !=
           QNetworkInformation::Reachability::Disconnected;
}

}  // namespace

MainWindow& VrxApplication::loadMainWindow() {
    if (main_) {
        return *main_;
    }
    main_ = new MainWindow(EditorSetup{instrumentNames_, options_.dialogs, {}});
    main_->setWindowIcon(programIcon());
    main_->setLastDirectory(QString::fromStdString(settings_.lastDirectory()));
    status_ = new frmStatus(main_);
    status_->setWindowFlag(Qt::Window);

    auto& ports = *ports_;
    view_ = std::make_unique<QtLinkView>(
        QtLinkView::Windows{*main_, *status_, ports.input(), ports.output(), settings_, log_,
                            [this] { return ports_->realDevicesError(); },
                            [this](const QString& text) { showMessage(text); }});
    link_ = std::make_unique<DeviceLink>(ports.input(), ports.output(), *view_, clock_);
    view_->attach(*link_);
    link_->setTrafficTap([this](TrafficDirection direction, ByteView message) {
        traffic_.record(direction, message);
    });
    connectWindowCommands();
    connectUnitCommands();
    connectFileCommands();
    showRecentFiles();
    restorePlacement(*main_);
    return *main_;
}

void VrxApplication::connectWindowCommands() {
    if (auto* options = main_->findChild<QMenu*>(QStringLiteral("mnuOptions"))) {
        auto* monitor = options->addAction(tr("MIDI M&onitor"));
        monitor->setObjectName(QStringLiteral("mnuMidiMonitor"));
        connect(monitor, &QAction::triggered, this, &VrxApplication::showMidiMonitor);
    }
    link_->setVerifyAfterWriting(settings_.verifyAfterWriting());
    main_->setVerifyAfterWriting(settings_.verifyAfterWriting());
    connect(main_, &MainWindow::verifyAfterWritingToggled, this, [this](bool on) {
        settings_.setVerifyAfterWriting(on);
        link_->setVerifyAfterWriting(on);
    });
    main_->setManualAddress(QString::fromStdString(settings_.manualAddress()));
    main_->setNetworkCheck(networkReachable);
    connect(main_, &MainWindow::exitConfirmed, this, &VrxApplication::exitConfirmed);
    connect(main_, &MainWindow::userGuideRequested, this, &VrxApplication::showUserGuide);
}

void VrxApplication::connectUnitCommands() {
    EditorDialogs* dialogs = options_.dialogs;
    if (dialogs == nullptr) {
        ownDialogs_ = std::make_unique<QtEditorDialogs>();
        dialogs = ownDialogs_.get();
    }
    unitPrograms_ = std::make_unique<UnitProgramsCommands>(UnitProgramsCommands::Context{
        *main_, *link_, *view_, *dialogs, options_.chooseFolder, clock_});
    connect(main_, &MainWindow::backupAllRequested, this, [this] { unitPrograms_->backUpAll(); });
    connect(main_, &MainWindow::restoreProgramsRequested, this,
            [this] { unitPrograms_->restorePrograms(); });

    connect(&timer_, &QTimer::timeout, this, &VrxApplication::timerTick);
    connect(status_, &frmStatus::closedByUser, this, [this] {
        // During a backup or restore the window's Close is its Cancel, asked first.
        if (unitPrograms_->running()) {
            unitPrograms_->statusWindowClosed();
        } else {
            link_->statusWindowClosed();
        }
    });
    // The window stays responsive during a write's pauses, unlike a blocking wait would,
    // so a second device command then is refused rather than cut into the write.
    connect(main_, &MainWindow::loadFromDeviceRequested, this, [this] {
        if (!link_->writeInProgress()) {
            link_->loadFromDevice();
        }
        showUnitActivity();
    });
    connect(main_, &MainWindow::compareWithDeviceRequested, this, [this] {
        if (!link_->writeInProgress()) {
            link_->compareWithDevice();
        }
    });
    connect(main_, &MainWindow::writeToDeviceRequested, this, [this] {
        if (!link_->writeInProgress()) {
            link_->writeToDevice();
        }
        showUnitActivity();
    });
    connect(main_, &MainWindow::midiSetupRequested, this, [this] {
        if (link_->unitOperationInProgress()) {
            return;
        }
        link_->setCallerForm("frmMain");
        view_->showMidiSetup(link_->midiSetup());
    });
    connect(main_, &MainWindow::testMidiConnectionRequested, this,
            &VrxApplication::testMidiConnection);
}

void VrxApplication::testMidiConnection() {
    if (link_->unitOperationInProgress()) {
        return;
    }
    auto& setup = link_->midiSetup();
    if (!setup.midiConfigured) {
        link_->setCallerForm("frmMain");
        view_->showMidiSetup(setup);
        if (!setup.midiConfigured || setup.midiSetupCancelled) {
            return;
        }
    }
    // The link's ports are closed between its exchanges; it reopens them for the next.
    link_->closePorts();
    auto& input = ports_->input();
    frmConnectionCheck dialog(
        {input, ports_->output(), setup, clock_,
         "MIDI In #" + std::to_string(setup.portInDevice) + " (" +
             inputNameAt(input, setup.portInDevice) + ") and MIDI Out #" +
             std::to_string(setup.portOutDevice) + " (" +
             outputNameAt(ports_->output(), setup.portOutDevice) + ")",
         [this, &input] { input.setMessageHandler([this] { link_->midiIn_Message(); }); }},
        main_);
    dialog.exec();
}

void VrxApplication::showUnitActivity() {
    main_->setUnitBusy(link_->writeInProgress(), link_->unitOperationInProgress());
}

}  // namespace vrx::app
