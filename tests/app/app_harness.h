#pragma once

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/frm_midi_setup.h"
#include "app/frm_prompt.h"
#include "app/vrx_application.h"
#include "editor/recording_dialogs.h"
#include "link/device_link.h"

namespace vrx::app::testing {

using namespace Qt::Literals::StringLiterals;

inline void click(const QObject& parent, const char* button) {
    parent.findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
}

// A whole program run with the simulated unit (16 programs, its switches on
// `dipSwitchProgram`), answered dialogs and time that moves only when the test ticks it. It
// lives in `folder`, or in a fresh one of its own.
class ProgramRun {
public:
    explicit ProgramRun(int dipSwitchProgram = 1, const QString& fileToOpen = {},
                        const QString& folder = {})
        : folder(folder.isEmpty() ? ownFolder.path() : folder) {
        AppOptions options;
        options.simulator = true;
        options.simulatorSettings.dipSwitchProgram = dipSwitchProgram;
        options.executableFolder = options.installPrefix = this->folder.toStdString();
        options.environment.home = this->folder.toStdString();
        options.dialogs = &dialogs;
        options.showMessage = [this](const QString& text) { messages << text; };
        options.clock = &clock;
        options.fileToOpen = fileToOpen;
        options.chooseFolder = [this](QWidget*, const QString&, const QString&) {
            return folderAnswer;
        };
        program = std::make_unique<VrxApplication>(std::move(options));
    }

    // Past the splash, and through the start screen's `way` in when one is named; the
    // test drives the timer itself.
    MainWindow* start(const char* way = nullptr) {
        program->start();
        QTest::keyClick(program->splash(), Qt::Key_Space);
        if (way) {
            click(*program->startScreen(), way);
        }
        program->timer().stop();
        return program->mainWindow();
    }

    // Ticks the main window's 100 ms timer until `done` holds, at most `maxMs` of virtual
    // time; with no `done`, for `maxMs`.
    bool tickUntil(const std::function<bool()>& done, int maxMs = 30000) {
        for (int t = 0; t < maxMs && !(done && done()); t += DeviceLink::kTickMs) {
            clock.advanceBy(DeviceLink::kTickMs);
            QCoreApplication::processEvents();
            program->timerTick();
            QCoreApplication::processEvents();
        }
        return !done || done();
    }
    void tickFor(int ms) { tickUntil({}, ms); }
    bool resultShown() const { return program->link()->commState() == kStateResultShown; }
    SimulatedUnit& unit() { return *program->ports().simulatedUnit(); }
    QString file(const char* name) const { return folder + '/' + QString::fromLatin1(name); }

    QTemporaryDir ownFolder;
    QString folder;
    VirtualClock clock;
    vrx::testing::RecordingDialogs dialogs;
    QStringList messages;  // the message boxes shown, in order
    QString folderAnswer;  // empty means "cancelled"
    std::unique_ptr<VrxApplication> program;
};

// Runs `answer` on the next modal dialog of type T once it is open.
template <typename T>
void answerModal(std::function<void(T&)> answer) {
    QTimer::singleShot(5, [answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            answer(*dialog);
        } else {
            answerModal<T>(answer);
        }
    });
}

inline void pressOk(QDialog& dialog) {
    click(dialog, "cmdOK");
}

// Past the start screen into a load of the program the unit's switches select, choosing
// the simulated unit, listed last, in MIDI I/O Setup and answering the prompt; true once
// the result shows, within `maxMs`.
inline bool startWithLoadFromUnit(ProgramRun& run, int maxMs = 30000) {
    answerModal<frmMIDISetup>([](frmMIDISetup& dialog) {
        dialog.inputList()->setCurrentIndex(dialog.inputList()->count() - 1);
        dialog.outputList()->setCurrentIndex(dialog.outputList()->count() - 1);
        pressOk(dialog);
    });
    answerModal<frmPrompt>(pressOk);
    run.start("lblWizard");
    return run.tickUntil([&] { return run.resultShown(); }, maxMs);
}

}  // namespace vrx::app::testing
