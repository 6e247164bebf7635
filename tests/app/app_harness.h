#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/vrx_application.h"
#include "editor/recording_dialogs.h"
#include "link/device_link.h"
#include "protocol/clock.h"

namespace vrx::app::testing {

// A whole program run in a folder of its own, with the simulated unit, answered dialogs
// and time that moves only when the test ticks it.
class ProgramRun {
public:
    explicit ProgramRun(const QString& folder, SimulatedUnitSettings unit = {}) {
        AppOptions options;
        options.simulator = true;
        options.simulatorSettings = unit;
        options.executableFolder = folder.toStdString();
        options.installPrefix = folder.toStdString();
        options.environment.home = folder.toStdString();
        options.dialogs = &dialogs;
        options.showMessage = [this](const QString& text) { messages << text; };
        options.clock = &clock;
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

}  // namespace vrx::app::testing
