// The program's run: start-up, the splash and the start screen, the timer that drives
// the device link, and the exit sequence.
#include "app/vrx_application.h"

#include <QApplication>
#include <QMessageBox>
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
#include "editor/editor_dialogs.h"
#include "editor/main_window.h"
#include "files/platform_files.h"
#include "link/device_link.h"
#include "link/kept_devices.h"
#include "model/vocabulary.h"
#include "protocol/utf8_path.h"

namespace vrx::app {
namespace {

constexpr int kTimerIntervalMs = 100;

std::tm localNow() {
    return platform::localTimeNow();
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
    instrumentNames_ = loadInstrumentNames(utf8FromPath(paths_.resourceFile(kInstrumentFileName)),
                                           [this](std::string_view line) { log_.writeLog(line); });

    if (options_.midiApi) {
        settings_.setMidiApi(*options_.midiApi);
    }
    MidiPortOptions portOptions;
    portOptions.api = settings_.midiApi();
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

void VrxApplication::keepDeviceNames() {
    if (!link_ || !link_->midiSetup().midiConfigured) {
        return;
    }
    settings_.setMidiInDeviceName(inputNameAt(ports_->input(), settings_.midiInDevice()));
    settings_.setMidiOutDeviceName(outputNameAt(ports_->output(), settings_.midiOutDevice()));
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

void VrxApplication::restorePlacement(MainWindow& window) {
    const auto ownScreen = screenOf(window);
    // The editor opens at its designed size; a smaller screen (a laptop scaled by 2 leaves
    // 800 x 500) gets what it has, frame included, even below the designed minimum.
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    const QSize room = window.screen()->availableGeometry().size() - frame;
    window.setMinimumSize(window.minimumSize().boundedTo(room));
    window.resize(window.size().boundedTo(room));
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

void VrxApplication::exitConfirmed() {
    // Cutting a write short would leave the unit with half a new program.
    if (link_->writeInProgress()) {
        link_->requestExitAfterWrite();
        main_->keepOpenForNow();
        return;
    }
    exitSequence();
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

void VrxApplication::showMessage(const QString& text) {
    if (options_.showMessage) {
        options_.showMessage(text);
        return;
    }
    QMessageBox::information(main_, QStringLiteral("VRXConfig"), text);
}

}  // namespace vrx::app
