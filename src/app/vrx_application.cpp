#include "app/vrx_application.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QNetworkInformation>
#include <QScreen>
#include <ctime>
#include <utility>

#include "app/app_art.h"
#include "app/centring.h"
#include "app/frm_choice.h"
#include "app/frm_midi_monitor.h"
#include "app/frm_splash.h"
#include "app/frm_status.h"
#include "app/help_window.h"
#include "app/qt_link_view.h"
#include "app/window_placing.h"
#include "editor/main_window.h"
#include "editor/qt_editor_dialogs.h"
#include "files/platform_files.h"
#include "link/device_link.h"
#include "link/kept_devices.h"
#include "model/vocabulary.h"

namespace vrx::app {
namespace {

constexpr int kTimerIntervalMs = 100;

std::tm localNow() {
    return platform::localTimeNow();
}

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

ScreenGeometry screenOf(const QWidget& window) {
    return availableAreaOf(window.screen() ? *window.screen() : *QGuiApplication::primaryScreen());
}

}  // namespace

VrxApplication::VrxApplication(AppOptions options, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      clock_(options_.clock ? *options_.clock : steadyClock_),
      paths_(
          decideAppPaths(options_.executableFolder, options_.installPrefix, options_.environment)),
      settings_(paths_.settingsFile),
      log_(paths_.logFile, false),
      traffic_(clock_) {
    timer_.setObjectName(QStringLiteral("timer"));
    timer_.setInterval(kTimerIntervalMs);
    // A coarse timer may fire up to 5 % early; six early ticks would cut the unit's
    // 600 ms after a written block short.
    timer_.setTimerType(Qt::PreciseTimer);
    initApplication();
}

VrxApplication::~VrxApplication() {
    timer_.stop();
    unitPrograms_.reset();
    link_.reset();
    view_.reset();
    delete monitor_;
    delete main_;
    delete status_;
    delete help_;
    delete choice_;
    delete splash_;
}

void VrxApplication::initApplication() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    settings_.readLogSwitch();
    log_ = LogFile(paths_.logFile, settings_.logEnabled());
    log_.writeLog(logStartLine(localNow()));
    if (log_.enabled()) {
        // Support reads the log as it reads a trace: every message, named.
        traffic_.setLineSink([this](std::string_view line) { log_.writeLog(line); });
    }
    settings_.readSettings(getSpecialFolder(kDocumentsFolder, options_.environment));
    instrumentNames_ = loadInstrumentNames(paths_.resourceFile(kInstrumentFileName).string(),
                                           [this](std::string_view line) { log_.writeLog(line); });

    MidiPortOptions portOptions;
    portOptions.withSimulator = options_.simulator;
    portOptions.simulator = options_.simulatorSettings;
    // The driver calls back on its own thread; the link runs on this one.
    portOptions.notifier = [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (link_)
                    link_->dispatchMidiEvents();
            },
            Qt::QueuedConnection);
    };
    ports_ = std::make_unique<MidiPortSet>(clock_, std::move(portOptions));
    findKeptDevices();
}

void VrxApplication::findKeptDevices() {
    const KeptDevice input{settings_.midiInDevice(), settings_.midiInDeviceName()};
    if (const auto moved = movedInputPosition(ports_->input(), input)) {
        settings_.setMidiInDevice(static_cast<std::int16_t>(*moved));
        log_.writeLog(deviceMovedLogLine("MIDI In", input, *moved));
    }
    const KeptDevice output{settings_.midiOutDevice(), settings_.midiOutDeviceName()};
    if (const auto moved = movedOutputPosition(ports_->output(), output)) {
        settings_.setMidiOutDevice(static_cast<std::int16_t>(*moved));
        log_.writeLog(deviceMovedLogLine("MIDI Out", output, *moved));
    }
}

// Only a choice confirmed in this run names its devices: a device missing today must
// not lose its name to whatever now sits at its number.
void VrxApplication::keepDeviceNames() {
    if (!link_ || !link_->midiSetup().midiConfigured) {
        return;
    }
    settings_.setMidiInDeviceName(inputNameAt(ports_->input(), settings_.midiInDevice()));
    settings_.setMidiOutDeviceName(outputNameAt(ports_->output(), settings_.midiOutDevice()));
}

void VrxApplication::showMidiMonitor() {
    if (!monitor_) {
        monitor_ = new frmMidiMonitor(traffic_);
        monitor_->setWindowIcon(programIcon());
        monitor_->setAttribute(Qt::WA_DeleteOnClose);
        if (main_) {
            centreOver(*monitor_, main_);
        }
    }
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
}

void VrxApplication::start() {
    splash_ = new frmSplash;
    splash_->setWindowIcon(programIcon());
    connect(splash_, &frmSplash::finished, this, &VrxApplication::splashFinished);
    splash_->adjustSize();
    centreOver(*splash_, nullptr);
    splash_->show();
}

void VrxApplication::splashFinished() {
    if (options_.fileToOpen.isEmpty()) {
        showStartScreen();
        return;
    }
    // A file to open is the way in, as "Open Previously Saved..." would have been.
    const QString path = std::exchange(options_.fileToOpen, QString());
    showEditor().openConfigurationFile(path);
}

void VrxApplication::openFile(const QString& path) {
    if (main_ && main_->isVisible()) {
        activate();
        main_->commitPendingEdit();
        if (main_->maybeSaveChanges()) {
            main_->openConfigurationFile(path);
        }
    } else if (choice_) {
        activate();
        showEditor().openConfigurationFile(path);
    } else {
        // The splash is still up: the file waits for it like one from the command line.
        options_.fileToOpen = path;
        activate();
    }
}

void VrxApplication::showUserGuide() {
    if (!help_) {
        help_ = new HelpWindow;
        help_->setWindowIcon(programIcon());
    }
    help_->showGuide(QString::fromStdString(paths_.userGuideFile().string()));
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void VrxApplication::showStartScreen() {
    if (choice_) {
        return;
    }
    choice_ = new frmChoice;
    choice_->setWindowIcon(programIcon());
    connect(choice_, &frmChoice::startRequested, this, &VrxApplication::startRequested);
    connect(choice_, &frmChoice::helpRequested, this, &VrxApplication::showUserGuide);
    connect(choice_, &frmChoice::exitRequested, this, [this] {
        // Leaving from the start screen saves nothing.
        choice_->hide();
        emit finished();
    });
    choice_->adjustSize();
    centreOver(*choice_, nullptr);
    choice_->show();
}

void VrxApplication::startRequested(const QString& action) {
    loadMainWindow().setStartAction(action);
    showEditor();
}

MainWindow& VrxApplication::showEditor() {
    if (choice_) {
        choice_->hide();
    }
    auto& window = loadMainWindow();
    window.show();
    timer_.start();
    if (!placementStored_) {
        // Without a stored place the editor opens where the start screen was.
        centreOver(window, choice_);
    }
    window.activateWindow();
    window.raise();
    return window;
}

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
    connect(status_, &frmStatus::closedByUser, this, [this] { link_->statusWindowClosed(); });
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
    connect(main_, &MainWindow::fileLoadFinished, this,
            [this](int programBlockCount, const QString& fileName) {
                pendingFileLoad_ = PendingFileLoad{programBlockCount, fileName.toStdString()};
                reportFileLoad();
            });
    connect(main_, &MainWindow::exitConfirmed, this, &VrxApplication::exitConfirmed);
    connect(main_, &MainWindow::userGuideRequested, this, &VrxApplication::showUserGuide);
    connect(main_, &MainWindow::recentFileUsed, this, [this](const QString& path) {
        settings_.addRecentFile(QFile::encodeName(path).toStdString());
        showRecentFiles();
    });
    main_->setManualAddress(QString::fromStdString(settings_.manualAddress()));
    main_->setNetworkCheck(networkReachable);
    showRecentFiles();
    restorePlacement(*main_);
    return *main_;
}

void VrxApplication::showRecentFiles() {
    QStringList files;
    for (const auto& path : settings_.recentFiles()) {
        files << QFile::decodeName(QByteArray::fromStdString(path));
    }
    main_->setRecentFiles(files);
}

void VrxApplication::timerTick() {
    reportFileLoad();
    const std::int64_t pauseEnd = link_->outputQueue().pausedUntilMs();
    link_->mainTimerTick();
    if (link_->outputQueue().pausedUntilMs() != pauseEnd && timer_.isActive()) {
        // A message of a write went out, a little after the tick was due: the timer starts
        // again from now, so its sixth tick comes as the unit's pause ends, not short of it.
        timer_.start();
    }
    unitPrograms_->timerTick();
    showUnitActivity();
    if (link_->readyToExit()) {
        exitSequence();
    }
}

void VrxApplication::showUnitActivity() {
    main_->setUnitBusy(link_->writeInProgress(), link_->unitOperationInProgress());
}

void VrxApplication::exitConfirmed() {
    // Cutting a write short would leave the unit with half a new program.
    if (link_->writeInProgress()) {
        link_->requestExitAfterWrite();
        main_->keepOpenForNow();
        return;
    }
    exitSequence();
}

void VrxApplication::reportFileLoad() {
    // A file opened while a write is still sending waits for the write's last message:
    // the write's pacing must not change halfway.
    if (!pendingFileLoad_ || link_->writeInProgress()) {
        return;
    }
    link_->fileLoadFinished(pendingFileLoad_->programBlockCount, pendingFileLoad_->fileName);
    pendingFileLoad_.reset();
}

void VrxApplication::restorePlacement(MainWindow& window) {
    const auto ownScreen = screenOf(window);
    // The editor opens at its designed size; a smaller screen gets what it has.
    window.resize(window.size().boundedTo(window.screen()->availableGeometry().size()));
    const auto designed = placementOf(window, ownScreen);
    // First where it was, anywhere on the desktop; then fitted on the screen holding that.
    ScreenGeometry desktop = ownScreen;
    const auto everywhere = window.screen()->availableVirtualGeometry();
    desktop.leftTwips = pixelsToTwips(everywhere.left(), desktop.twipsPerPixelX);
    desktop.topTwips = pixelsToTwips(everywhere.top(), desktop.twipsPerPixelY);
    desktop.widthTwips = pixelsToTwips(everywhere.width(), desktop.twipsPerPixelX);
    desktop.heightTwips = pixelsToTwips(everywhere.height(), desktop.twipsPerPixelY);
    const auto stored = settings_.loadMainWindowPlacement(designed, desktop);
    const auto screen = availableAreaOf(screenHolding(window, stored, desktop));
    const auto placed = settings_.loadMainWindowPlacement(designed, screen);
    placementStored_ = settings_.hasMainWindowPlacement();
    applyPlacement(window, placed, screen);
    if (placed.state == WindowState::kMaximised) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

void VrxApplication::exitSequence() {
    link_->closePorts();
    keepDeviceNames();
    settings_.setLastDirectory(main_->lastDirectory().toStdString());
    settings_.writeSettings(placementOf(*main_, screenOf(*main_)));
    timer_.stop();
    main_->hide();
    status_->hide();
    if (monitor_) {
        monitor_->close();
    }
    if (help_) {
        help_->hide();
    }
    emit finished();
}

void VrxApplication::activate() {
    for (QWidget* window : {static_cast<QWidget*>(main_), static_cast<QWidget*>(choice_),
                            static_cast<QWidget*>(splash_)}) {
        if (window && window->isVisible()) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->raise();
            window->activateWindow();
            return;
        }
    }
}

void VrxApplication::showMessage(const QString& text) {
    if (options_.showMessage) {
        options_.showMessage(text);
        return;
    }
    QMessageBox::information(main_, QStringLiteral("VRXConfig"), text);
}

}  // namespace vrx::app
