// The MIDI monitor and the devices kept by name, in a whole program run against the
// simulated unit.
#include "app/frm_midi_monitor.h"
#include "app_harness.h"

namespace vrx::app::testing {

QStringList listedMessages(frmMidiMonitor& monitor) {
    monitor.refresh();
    QStringList names;
    for (int row = 0; row < monitor.model().rowCount(); ++row) {
        names << monitor.model().index(row, TrafficTableModel::kDirection).data().toString() + " " +
                     monitor.model().index(row, TrafficTableModel::kMessage).data().toString();
    }
    return names;
}

class MonitorTest : public QObject {
    Q_OBJECT

private slots:
    void monitorListsALoadPausesSavesAndClears() {
        ProgramRun run;
        QVERIFY(startWithLoadFromUnit(run));
        run.program->mainWindow()->findChild<QAction*>(u"mnuMidiMonitor"_s)->trigger();
        auto& monitor = *run.program->midiMonitor();
        const QStringList firstLoad = listedMessages(monitor);
        QCOMPARE(firstLoad.size(), 6);
        QCOMPARE(firstLoad.mid(3),
                 (QStringList{"out PROGRAM_REQUEST for program 1",
                              "in PROGRAM_RESPONSE 1, 256 bytes", "out VRX_REBOOT"}));

        // Paused, the list holds still; resumed, it catches up with what passed meanwhile.
        monitor.pauseButton()->click();
        // The unit restarts after the last load's reboot before it hears the next load.
        run.tickFor(static_cast<int>(SimulatedUnit::kRebootDeafMs));
        answerModal<frmPrompt>(pressOk);
        emit run.program->mainWindow()->loadFromDeviceRequested();
        QVERIFY(run.tickUntil([&] { return run.resultShown(); }));
        QCOMPARE(listedMessages(monitor), firstLoad);
        monitor.pauseButton()->click();
        QCOMPARE(listedMessages(monitor), firstLoad + firstLoad);

        QVERIFY(monitor.saveTo(run.file("in.syx"), frmMidiMonitor::SaveFormat::kSyxReceived));
        // Four replies came in, the first an identity reply; SysEx data bytes never hold F0.
        const auto received = vrx::testing::readAll(run.file("in.syx"));
        QCOMPARE(received.count(char(0xf0)), 4);
        QVERIFY(received.startsWith("\xf0\x7e"));
        click(monitor, "cmdClear");
        QCOMPARE(listedMessages(monitor), QStringList());
    }

    void devicesComeBackByNameWhenTheirNumbersChanged() {
        QTemporaryDir folder;
        ProgramRun probe(1, {}, folder.path());
        const int in = probe.program->ports().simulatorInputPosition();
        const int out = probe.program->ports().simulatorOutputPosition();
        // Yesterday two more interfaces were plugged in ahead of the unit.
        const QString settings =
            u"[Quillmore]\nLog=1\n[MIDI I/O]\nInput=%1\nOutput=%2\n"
            "InputName=VRX Simulator\nOutputName=VRX Simulator\n"_s;
        vrx::testing::writeAll(probe.file("VrxConfig.ini"),
                               settings.arg(in + 2).arg(out + 2).toUtf8());

        ProgramRun run(1, {}, folder.path());
        QCOMPARE(int(run.program->settings().midiInDevice()), in);
        const QString moved = u"MIDI In device \"VRX Simulator\" is now #%1 (was #%2)."_s;
        QVERIFY(vrx::testing::readAll(run.file("VrxConfig.log"))
                    .contains(moved.arg(in).arg(in + 2).toUtf8()));
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::MonitorTest)
#include "monitor_test.moc"
