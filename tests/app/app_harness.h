#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/frm_midi_setup.h"
#include "app/frm_prompt.h"
#include "app/vrx_application.h"
#include "editor/recording_dialogs.h"
#include "link/device_link.h"
#include "protocol/clock.h"

namespace vrx::app::testing {

using vrx::testing::readAll;
using vrx::testing::writeAll;

// A whole program run in a folder of its own, with the simulated unit, answered dialogs
// and time that moves only when the test ticks it.
class ProgramRun {
public:
    explicit ProgramRun(const QString& folder, SimulatedUnitSettings unit = {},
                        const QString& fileToOpen = {}) {
        AppOptions options;
        options.simulator = true;
        options.simulatorSettings = unit;
        options.executableFolder = folder.toStdString();
        options.installPrefix = folder.toStdString();
        options.environment.home = folder.toStdString();
        options.dialogs = &dialogs;
        options.showMessage = [this](const QString& text) { messages << text; };
        options.clock = &clock;
        options.fileToOpen = fileToOpen;
        options.chooseFolder = [this](QWidget*, const QString&, const QString&) {
            return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
        };
        program = std::make_unique<VrxApplication>(std::move(options));
    }

    // Past the splash and the start screen into the editor, with a start action.
    MainWindow& choose(const QString& action) {
        program->start();
        QTest::keyClick(program->splash(), Qt::Key_Space);
        const auto* button = program->startScreen()->findChild<QAbstractButton*>(
            action == QStringLiteral("Load") ? QStringLiteral("lblLoad")
                                             : QStringLiteral("lblWizard"));
        QTest::mouseClick(const_cast<QAbstractButton*>(button), Qt::LeftButton);
        // The test drives the timer itself.
        program->timer().stop();
        return *program->mainWindow();
    }

    // One timer tick of 100 ms, as the main window's timer runs it.
    void tick() {
        clock.advanceBy(DeviceLink::kTickMs);
        QCoreApplication::processEvents();
        program->timerTick();
        QCoreApplication::processEvents();
    }
    void tickFor(int ms) {
        for (int t = 0; t < ms; t += DeviceLink::kTickMs) {
            tick();
        }
    }
    // Ticks until `done` holds, at most `maxMs` of virtual time.
    bool tickUntil(const std::function<bool()>& done, int maxMs = 30000) {
        for (int t = 0; t < maxMs && !done(); t += DeviceLink::kTickMs) {
            tick();
        }
        return done();
    }

    SimulatedUnit& unit() { return *program->ports().simulatedUnit(); }

    VirtualClock clock;
    vrx::testing::RecordingDialogs dialogs;
    QStringList messages;
    QStringList folderAnswers;  // taken from the front; empty means "cancelled"
    std::unique_ptr<VrxApplication> program;
};

// Runs `answer` on the next modal dialog of type T once it is open.
template <typename T>
void answerModal(std::function<void(T&)> answer) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start();
}

// A unit of 16 programs whose switches select `dipSwitchProgram`.
inline SimulatedUnitSettings unitOnProgram(int dipSwitchProgram) {
    SimulatedUnitSettings unit;
    unit.dipSwitchProgram = dipSwitchProgram;
    unit.programCount = 16;
    return unit;
}

// Picks the simulated unit, listed last, in both lists and confirms.
inline void chooseSimulator(frmMIDISetup& dialog) {
    dialog.inputList()->setCurrentIndex(dialog.inputList()->count() - 1);
    dialog.outputList()->setCurrentIndex(dialog.outputList()->count() - 1);
    dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
}

inline void pressPromptOk(frmPrompt& prompt) {
    prompt.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
}

// Past the start screen into a load of the program the unit's switches select, answering
// MIDI I/O Setup and the prompt.
inline bool startWithLoadFromUnit(ProgramRun& run) {
    answerModal<frmMIDISetup>(chooseSimulator);
    run.choose(QStringLiteral("New"));
    answerModal<frmPrompt>(pressPromptOk);
    return run.tickUntil([&] { return run.program->link()->commState() == kStateResultShown; });
}

}  // namespace vrx::app::testing
