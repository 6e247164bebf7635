// The program end to end: start screen, MIDI I/O Setup, prompt, editor and the simulated
// unit, in virtual time.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <array>

#include "app/frm_midi_setup.h"
#include "app/frm_prompt.h"
#include "app/single_instance.h"
#include "app_harness.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "ports/simulated_unit.h"

using namespace vrx;
using namespace vrx::app;
using namespace vrx::app::testing;

namespace {

// Picks the simulated unit, listed last, in both lists and confirms.
void chooseSimulator(frmMIDISetup& dialog) {
    dialog.inputList()->setCurrentIndex(dialog.inputList()->count() - 1);
    dialog.outputList()->setCurrentIndex(dialog.outputList()->count() - 1);
    dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
}

void pressPromptOk(frmPrompt& prompt) {
    prompt.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
}

SimulatedUnitSettings unitOnProgram(int dipSwitchProgram) {
    SimulatedUnitSettings unit;
    unit.dipSwitchProgram = dipSwitchProgram;
    unit.programCount = 16;
    return unit;
}

// Loads the program the unit's switches select, answering both dialogs.
void loadFromUnit(ProgramRun& run) {
    answerModal<frmMIDISetup>(chooseSimulator);
    run.choose(QStringLiteral("New"));
    answerModal<frmPrompt>(pressPromptOk);
    QVERIFY(run.tickUntil([&] { return run.program->link()->commState() == kStateResultShown; }));
    QVERIFY(run.program->link()->midiSetup().midiConfigured);
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void loadShowsTheProgramTheSwitchesSelect() {
        QTemporaryDir folder;
        ProgramRun run(folder.path(), unitOnProgram(5));
        loadFromUnit(run);

        auto& window = *run.program->mainWindow();
        QCOMPARE(window.windowTitle(), QStringLiteral("VRXConfig - Editing Program Data #5"));
        QVERIFY(run.program->statusWindow()->statusText().endsWith(QStringLiteral("Done.")));
        const auto expected = decodeProgramData(run.unit().program(5));
        QVERIFY(expected.ok());
        QVERIFY(window.programData() == *expected);
        QVERIFY(window.commandEnabled(MainWindow::kWriteSlot));
        // The result stays on screen 2.1 s, then the status window goes.
        run.tickFor(2200);
        QVERIFY(!run.program->statusWindow()->isVisible());
    }

    void writeStoresTheEditedImageWithFivePacedMessages() {
        QTemporaryDir folder;
        ProgramRun run(folder.path(), unitOnProgram(3));
        loadFromUnit(run);
        run.tickFor(2200);

        auto& window = *run.program->mainWindow();
        auto image = window.currentImage(0);
        // Pin row 42 becomes a Note On/Off pin on channel 2 playing note 60.
        image[46 + 2 * 41] = 0x71;
        image[47 + 2 * 41] = 60;
        QVERIFY(window.decodeProgramData(image).ok());
        const auto sentBefore = run.unit().received().size();

        answerModal<frmPrompt>(pressPromptOk);
        emit window.writeToDeviceRequested();
        QVERIFY(run.tickUntil([&] { return isProgramUpdate(run.unit().received().back()); }));
        // A load asked for halfway through the write is refused: the write goes on, paced.
        emit window.loadFromDeviceRequested();
        // The write reads the program back once the unit has restarted.
        QVERIFY(run.tickUntil([&] {
            return run.program->link()->commState() == kStateResultShown &&
                   !run.program->link()->writeInProgress();
        }));

        const auto unitImage = run.unit().program(3);
        const auto expected = window.currentImage(run.program->link()->firmwareVersionByte());
        QCOMPARE(Bytes(unitImage.begin(), unitImage.begin() + 256),
                 Bytes(expected.begin(), expected.begin() + 256));
        QCOMPARE(run.program->link()->commState(), int(kStateResultShown));
        QVERIFY(run.program->statusWindow()->statusText().contains(
            QStringLiteral("Done.\r\nVerifying... ok")));
        QVERIFY(window.commandEnabled(MainWindow::kLoadOrganSlot));
        QVERIFY(window.commandEnabled(MainWindow::kWriteSlot));
        QVERIFY(window.midiSetupEnabled());

        // The four updates and the reboot, each at least 600 ms after the one before; the
        // read-back's own reboot follows later.
        const auto& at = run.unit().receivedAtMs();
        const auto& messages = run.unit().received();
        std::vector<std::int64_t> writeTimes;
        for (auto i = sentBefore; i < messages.size() && writeTimes.size() < 5; ++i) {
            if (isProgramUpdate(messages[i]) || messages[i] == vrxReboot(0)) {
                writeTimes.push_back(at[i]);
            }
        }
        QCOMPARE(writeTimes.size(), std::size_t(5));
        for (std::size_t i = 1; i < writeTimes.size(); ++i) {
            QVERIFY2(writeTimes[i] - writeTimes[i - 1] >= 600,
                     qPrintable(QString::number(writeTimes[i] - writeTimes[i - 1])));
        }
    }

    void exitDuringAWriteWaitsForItAndTheDeviceCommandsAreGreyedMeanwhile() {
        QTemporaryDir folder;
        ProgramRun run(folder.path(), unitOnProgram(4));
        loadFromUnit(run);
        run.tickFor(2200);
        auto& window = *run.program->mainWindow();
        const auto usable = [&] {
            return std::array{
                window.commandEnabled(MainWindow::kLoadSlot),
                window.commandEnabled(MainWindow::kLoadOrganSlot),
                window.commandEnabled(MainWindow::kWriteSlot),
                window.midiSetupEnabled(),
                window.findChild<QAction*>(QStringLiteral("tbrMain_write"))->isEnabled(),
                window.findChild<QAction*>(QStringLiteral("tbrMain_midi"))->isEnabled()};
        };
        QCOMPARE(usable(), (std::array{true, true, true, true, true, true}));

        auto image = window.currentImage(0);
        image[46 + 2 * 41] = 0x71;  // pin row 42 plays notes on channel 2
        QVERIFY(window.decodeProgramData(image).ok());
        const auto written = window.currentImage(run.program->link()->firmwareVersionByte());
        answerModal<frmPrompt>(pressPromptOk);
        window.findChild<QAction*>(QStringLiteral("mnuWrite"))->trigger();
        QVERIFY2(!window.midiSetupEnabled(), "the identity exchange is talking to the unit");
        QVERIFY(run.tickUntil([&] { return isProgramUpdate(run.unit().received().back()); }));
        QCOMPARE(usable(), (std::array{true, false, false, false, false, false}));

        QSignalSpy finished(run.program.get(), &VrxApplication::finished);
        run.dialogs.yesNoAnswer = true;
        window.askToExit();
        QVERIFY(window.isVisible());
        QCOMPARE(finished.count(), 0);
        QVERIFY(run.program->statusWindow()->statusText().endsWith(
            QStringLiteral("\r\nVRXConfig closes when the write is done.")));
        window.close();  // the close button while waiting asks nothing more
        QCOMPARE(finished.count(), 0);

        QVERIFY(run.tickUntil([&] { return finished.count() == 1; }, 6000));
        QCOMPARE(run.unit().rebootCount(), 2);
        const auto unitImage = run.unit().program(4);
        QCOMPARE(Bytes(unitImage.begin(), unitImage.begin() + 256),
                 Bytes(written.begin(), written.begin() + 256));
        QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("VrxConfig.ini"))));
    }

    void aFileThatIsNoConfigurationLeavesTheEditorAsItWas() {
        QTemporaryDir folder;
        const auto file = folder.filePath(QStringLiteral("notes.vrx"));
        QFile notes(file);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("shopping list\r\n");
        notes.close();
        ProgramRun run(folder.path());
        run.dialogs.openAnswers << file;
        auto& window = run.choose(QStringLiteral("Load"));
        QVERIFY(run.tickUntil([&] { return run.dialogs.openAnswers.isEmpty(); }, 1000));
        run.tickFor(300);
        QCOMPARE(run.program->statusWindow()->statusText(),
                 QStringLiteral("Invalid VRX Program Data file... Sorry."));
        run.tickFor(2500);
        QVERIFY(window.findChild<QTabWidget*>(QStringLiteral("tabScope"))->isVisible());
        QVERIFY(window.commandEnabled(MainWindow::kLoadSlot));
        QVERIFY(!window.commandEnabled(MainWindow::kSaveSlot));
        QVERIFY(!window.commandEnabled(MainWindow::kWriteSlot));
    }

    void savedFileOpensAgainAfterARestartWhereTheWindowWas() {
        QTemporaryDir folder;
        const auto file = folder.filePath(QStringLiteral("organ"));
        ProgramData loaded;
        QPoint placedAt;
        {
            ProgramRun run(folder.path(), unitOnProgram(2));
            loadFromUnit(run);
            run.tickFor(2200);
            auto& window = *run.program->mainWindow();
            loaded = window.programData();
            window.move(140, 90);
            placedAt = window.pos();
            run.dialogs.saveAnswers << file;
            window.saveProgramDataFile();
            QCOMPARE(window.windowTitle(), QStringLiteral("VRXConfig - Editing File: organ.vrx"));
            run.dialogs.yesNoAnswer = true;
            window.askToExit();
        }
        QVERIFY(QFileInfo::exists(file + QStringLiteral(".vrx")));

        ProgramRun again(folder.path());
        again.dialogs.openAnswers << file + QStringLiteral(".vrx");
        auto& window = again.choose(QStringLiteral("Load"));
        QVERIFY(again.tickUntil([&] { return again.dialogs.openAnswers.isEmpty(); }, 1000));
        again.tickFor(200);
        QVERIFY(window.programData() == loaded);
        QVERIFY(again.program->statusWindow()->statusText().startsWith(
            QStringLiteral("Program Data successfully loaded from file organ.vrx")));
        QCOMPARE(window.pos(), placedAt);
        // The open dialog starts where the file was saved.
        QCOMPARE(again.dialogs.asked.back().folder, folder.path() + QStringLiteral("/"));
    }

    void silentUnitGetsDotsThenTheWarningUntilTheStatusWindowCloses() {
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        run.unit().faults().silent = true;
        answerModal<frmMIDISetup>(chooseSimulator);
        run.choose(QStringLiteral("New"));
        run.tickFor(100);
        auto& status = *run.program->statusWindow();
        QVERIFY(status.isVisible());
        run.tickFor(3000);
        QVERIFY(status.statusText().startsWith(QStringLiteral("Requesting VRX Configuration..")));
        QVERIFY(status.statusText().endsWith(QStringLiteral("...")));
        run.tickFor(2000);
        QCOMPARE(status.statusText(),
                 QStringLiteral("Check your MIDI connections and make sure that your VRX is "
                                "turned on!\r\nRetrying..."));

        status.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QVERIFY(!status.isVisible());
        // What was already queued still goes out; then nothing more.
        run.tickFor(300);
        const auto requests = run.unit().received().size();
        run.tickFor(5000);
        QCOMPARE(run.unit().received().size(), requests);
        QCOMPARE(run.program->link()->commState(), int(kStateAwaitingIdentity));
    }

    void aSecondStartActivatesTheFirst() {
        const auto key =
            QStringLiteral("vrxconfig-test-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(key);
        QVERIFY(!first.anotherInstance());
        bool activated = false;
        connect(&first, &SingleInstance::activationRequested, [&] { activated = true; });

        SingleInstance second(key);
        QVERIFY(second.anotherInstance());
        QTRY_VERIFY(activated);
    }

    void leavingFromTheStartScreenSavesNothing() {
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        QSignalSpy finished(run.program.get(), &VrxApplication::finished);
        run.program->start();
        QTest::keyClick(run.program->splash(), Qt::Key_Space);
        run.program->startScreen()->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
        QCOMPARE(finished.count(), 1);
        // Closing its window leaves too, rather than running on with nothing shown.
        ProgramRun closed(folder.path());
        QSignalSpy closedFinished(closed.program.get(), &VrxApplication::finished);
        closed.program->start();
        QTest::keyClick(closed.program->splash(), Qt::Key_Space);
        closed.program->startScreen()->close();
        QCOMPARE(closedFinished.count(), 1);
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("VrxConfig.ini"))));
    }

    void helpAndVersionAnswerWithoutADisplay() {
        QProcess program;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VRX_BIN_DIR "/vrxconfig"), {QStringLiteral("--version")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith("VRXConfig "));
        program.start(QStringLiteral(VRX_BIN_DIR "/vrxconfig"), {QStringLiteral("--help")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().contains("--simulator"));
    }

    void noMidiServiceStillListsTheSimulator() {
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        int inputs = 0;
        answerModal<frmMIDISetup>([&](frmMIDISetup& dialog) {
            inputs = dialog.inputList()->count();
            dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        run.choose(QStringLiteral("New"));
        run.tick();  // the start action runs when the window becomes active
        // This machine has no MIDI service: the error is told once, the simulator listed.
        const bool serviceMissing = !run.program->ports().realDevicesError().empty();
        if (serviceMissing) {
            QCOMPARE(run.messages,
                     QStringList{QStringLiteral("MIDI I/O Error... you need to configure a MIDI "
                                                "card to use this program.")});
        }
        QVERIFY(inputs >= 2);
        // Cancel ends the load: nothing is sent.
        run.tickFor(1000);
        QVERIFY(run.unit().received().empty());
    }
};

QTEST_MAIN(ProgramTest)
#include "program_test.moc"
