#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/frm_choice.h"
#include "app/frm_midi_monitor.h"
#include "app/frm_splash.h"
#include "app/frm_status.h"
#include "app/help_window.h"
#include "app/unit_programs.h"
#include "editor/main_window.h"
#include "files/app_paths.h"
#include "files/log_file.h"
#include "files/program_settings.h"
#include "link/traffic_history.h"
#include "model/vocabulary.h"
#include "ports/midi_port_set.h"
#include "protocol/clock.h"

namespace vrx {
class DeviceLink;
class EditorDialogs;
}  // namespace vrx

namespace vrx::app {

class QtLinkView;

// How a run of the program is set up. The defaults are those of a real run; tests point
// the files elsewhere and answer the dialogs.
struct AppOptions {
    bool simulator = false;  // list a simulated VRX unit after the real MIDI devices
    // --midi-api: the MIDI service for this run and the next; none: the settings file's.
    std::optional<MidiApi> midiApi;
    SimulatedUnitSettings simulatorSettings;
    std::filesystem::path executableFolder;  // where the program and its files live
    std::filesystem::path installPrefix;     // <prefix> of <prefix>/share/vrxconfig
    UserEnvironment environment;
    EditorDialogs* dialogs = nullptr;                 // null: the real file dialogs
    std::function<void(const QString&)> showMessage;  // null: a real message box
    const Clock* clock = nullptr;                     // null: the steady clock
    // A configuration file named on the command line (absolute): the editor opens with
    // it after the splash, without the start screen.
    QString fileToOpen;
    FolderChooser chooseFolder;  // null: the real folder dialog
};

// The program as a whole: everything that lives for the whole run. It starts with the
// splash, offers the start screen, opens the editor and ends with the exit sequence.
class VrxApplication : public QObject {
    Q_OBJECT
public:
    explicit VrxApplication(AppOptions options, QObject* parent = nullptr);
    ~VrxApplication() override;

    // Shows the splash; the rest follows from the user's choices.
    void start();
    // Brings the program's visible window to the front (a second start asked for it).
    void activate();
    // Opens a configuration file handed over by a second start: in the editor, which
    // comes to the front, or, before the editor is there, as the way in.
    void openFile(const QString& path);
    // The user guide that comes with the program, in a window of its own.
    void showUserGuide();

    // The main window's timer, every 100 ms: it drives the device link.
    void timerTick();

    // What the tests look at.
    frmSplash* splash() const { return splash_; }
    frmChoice* startScreen() const { return choice_; }
    MainWindow* mainWindow() const { return main_; }
    frmStatus* statusWindow() const { return status_; }
    QtLinkView* linkView() const { return view_.get(); }
    DeviceLink* link() const { return link_.get(); }
    UnitProgramsCommands* unitPrograms() const { return unitPrograms_.get(); }
    MidiPortSet& ports() { return *ports_; }
    ProgramSettings& settings() { return settings_; }
    const AppPaths& paths() const { return paths_; }
    QTimer& timer() { return timer_; }
    TrafficHistory& traffic() { return traffic_; }
    // Options › "MIDI Monitor": opens the monitor, or brings it to the front.
    void showMidiMonitor();
    frmMidiMonitor* midiMonitor() const { return monitor_; }
    HelpWindow* helpWindow() const { return help_; }

signals:
    // The program has ended its run (exit sequence done, or left from the start screen).
    void finished();

private:
    void initApplication();
    void showStartScreen();
    void splashFinished();
    void startRequested(const QString& action);
    MainWindow& showEditor();
    void showRecentFiles();
    MainWindow& loadMainWindow();
    void connectWindowCommands();
    void connectUnitCommands();
    void connectFileCommands();
    void restorePlacement(MainWindow& window);
    void reportFileLoad();
    void showUnitActivity();
    // Options > Test MIDI Connection...
    void testMidiConnection();
    void exitConfirmed();
    void exitSequence();
    void findKeptDevices();
    void keepDeviceNames();
    void showMessage(const QString& text);

    AppOptions options_;
    SteadyClock steadyClock_;
    const Clock& clock_;
    AppPaths paths_;
    ProgramSettings settings_;
    LogFile log_;
    TrafficHistory traffic_;
    NameList instrumentNames_;
    bool initialised_ = false;
    bool placementStored_ = false;
    struct PendingFileLoad {
        int programBlockCount = 0;
        std::string fileName;
        std::string refusalReason;
    };
    std::optional<PendingFileLoad> pendingFileLoad_;

    std::unique_ptr<MidiPortSet> ports_;
    QPointer<frmSplash> splash_;
    QPointer<frmChoice> choice_;
    QPointer<MainWindow> main_;
    QPointer<frmStatus> status_;
    QPointer<frmMidiMonitor> monitor_;
    QPointer<HelpWindow> help_;
    std::unique_ptr<QtLinkView> view_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<EditorDialogs> ownDialogs_;
    std::unique_ptr<UnitProgramsCommands> unitPrograms_;
    QTimer timer_;
};

}  // namespace vrx::app
