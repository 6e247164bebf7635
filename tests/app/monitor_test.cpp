// The MIDI monitor and the devices kept by name, in a whole program run against the
// simulated unit.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/frm_midi_monitor.h"
#include "app_harness.h"
#include "protocol/messages.h"

using namespace vrx;
using namespace vrx::app;
using namespace vrx::app::testing;

namespace {

bool load(ProgramRun& run) {
    // The unit restarts after the last load's reboot before it hears this one.
    run.tickFor(static_cast<int>(SimulatedUnit::kRebootDeafMs));
    answerModal<frmPrompt>(pressPromptOk);
    emit run.program->mainWindow()->loadFromDeviceRequested();
    return run.tickUntil([&] { return run.program->link()->commState() == kStateResultShown; });
}

QStringList listedMessages(frmMidiMonitor& monitor) {
    QStringList names;
    auto& model = monitor.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        names << model.index(row, TrafficTableModel::kDirection).data().toString() + " " +
                     model.index(row, TrafficTableModel::kMessage).data().toString();
    }
    return names;
}

QByteArray asBytes(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

}  // namespace

class MonitorTest : public QObject {
    Q_OBJECT

private slots:
    void monitorListsALoadPausesClearsAndSaves() {
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        QVERIFY(startWithLoadFromUnit(run));
        auto& window = *run.program->mainWindow();
        window.findChild<QAction*>(QStringLiteral("mnuMidiMonitor"))->trigger();
        auto* monitor = run.program->midiMonitor();
        QVERIFY(monitor && monitor->isVisible());
        QCOMPARE(monitor->windowTitle(), QStringLiteral("MIDI Monitor"));
        const QStringList firstLoad = {
            "out TAG MESSAGE",
            "out Identity Request",
            "in Identity Reply: firmware 1.5, 12/31/2009, DIP program 1, 16 programs",
            "out PROGRAM_REQUEST for program 1",
            "in PROGRAM_RESPONSE 1, 256 bytes",
            "out VRX_REBOOT",
        };
        QCOMPARE(listedMessages(*monitor), firstLoad);

        // Paused, the list holds still; resumed, it catches up with what passed meanwhile.
        monitor->pauseButton()->click();
        QVERIFY(load(run));
        monitor->refresh();
        QCOMPARE(listedMessages(*monitor), firstLoad);
        monitor->pauseButton()->click();
        QCOMPARE(listedMessages(*monitor), firstLoad + firstLoad);

        const auto received = folder.filePath(QStringLiteral("received.syx"));
        QVERIFY(monitor->saveTo(received, frmMidiMonitor::SaveFormat::kSyxReceived));
        const auto& history = run.program->traffic().entries();
        Bytes expected;
        for (const auto& entry : history) {
            if (entry.direction == TrafficDirection::kIn) {
                expected.insert(expected.end(), entry.bytes.begin(), entry.bytes.end());
            }
        }
        QCOMPARE(readAll(received), asBytes(expected));
        const auto text = folder.filePath(QStringLiteral("traffic.txt"));
        QVERIFY(monitor->saveTo(text, frmMidiMonitor::SaveFormat::kText));
        QCOMPARE(readAll(text).count('\n'), 12);
        QVERIFY(readAll(text).contains(" ms  out    9  VRX_REBOOT  f0 00 21 5e 00 04 01 20 f7\n"));

        monitor->findChild<QPushButton*>(QStringLiteral("cmdClear"))->click();
        QCOMPARE(monitor->model().rowCount(), 0);
        QVERIFY(load(run));
        monitor->refresh();
        QCOMPARE(listedMessages(*monitor), firstLoad);
    }

    void devicesComeBackByNameWhenTheirNumbersChanged() {
        QTemporaryDir folder;
        int simulatorIn = 0;
        int simulatorOut = 0;
        {
            ProgramRun probe(folder.path());
            simulatorIn = probe.program->ports().simulatorInputPosition();
            simulatorOut = probe.program->ports().simulatorOutputPosition();
        }
        // Yesterday two more interfaces were plugged in ahead of the unit.
        const auto settingsFile = folder.filePath(QStringLiteral("VrxConfig.ini"));
        writeAll(settingsFile,
                 QStringLiteral("[Quillmore]\nLog=1\n[MIDI I/O]\nInput=%1\nOutput=%2\n"
                                "InputName=VRX Simulator\nOutputName=VRX Simulator\n")
                     .arg(simulatorIn + 2)
                     .arg(simulatorOut + 2)
                     .toUtf8());

        ProgramRun run(folder.path());
        QCOMPARE(int(run.program->settings().midiInDevice()), simulatorIn);
        QCOMPARE(int(run.program->settings().midiOutDevice()), simulatorOut);
        const auto log = readAll(folder.filePath(QStringLiteral("VrxConfig.log")));
        QVERIFY2(
            log.contains(QStringLiteral("MIDI In device \"VRX Simulator\" is now #%1 (was #%2).")
                             .arg(simulatorIn)
                             .arg(simulatorIn + 2)
                             .toUtf8()),
            log.constData());

        // The setup dialog opens on the unit, and the load reaches it.
        answerModal<frmMIDISetup>([](frmMIDISetup& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        auto& window = run.choose(QStringLiteral("New"));
        answerModal<frmPrompt>(pressPromptOk);
        QVERIFY(
            run.tickUntil([&] { return run.program->link()->commState() == kStateResultShown; }));
        // The log names the traffic as the monitor does.
        QVERIFY(readAll(folder.filePath(QStringLiteral("VrxConfig.log")))
                    .contains("PROGRAM_RESPONSE 1, 256 bytes"));

        run.dialogs.yesNoAnswer = true;
        window.askToExit();
        const auto saved = readAll(settingsFile);
        QVERIFY2(saved.contains(QStringLiteral("Input=%1").arg(simulatorIn).toUtf8()), saved);
        QVERIFY2(saved.contains("InputName=VRX Simulator"), saved);
    }
};

QTEST_MAIN(MonitorTest)
#include "monitor_test.moc"
