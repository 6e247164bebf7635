// The program end to end: start screen, MIDI I/O Setup, prompt, editor and the simulated
// unit, in virtual time.
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBrowser>

#include "app/help_window.h"
#include "app_harness.h"
#include "editor/compare_window.h"
#include "model/program_image.h"

namespace vrx::app::testing {

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void loadCompareSaveWriteAndLeaveDuringTheWriteThenOpenTheFileAgain() {
        QTemporaryDir folder;
        ProgramData saved;
        {
            ProgramRun run(5, {}, folder.path());
            QVERIFY(startWithLoadFromUnit(run));
            auto& window = *run.program->mainWindow();
            auto& status = *run.program->statusWindow();
            QCOMPARE(window.shownTitle(), u"VRXConfig - Editing Program Data #5"_s);
            QCOMPARE(status.statusText(),
                     u"Requesting VRX Program Data.. ok\r\nLoading Program Data "
                     "from VRX...\r\nDone."_s);
            run.tickFor(2200);

            window.applyUserEdit(PinEdit{42, PinField::Function, kTq450Cancel});
            answerModal<frmPrompt>(pressOk);
            window.findChild<QAction*>(u"mnuCompareVrx"_s)->trigger();
            QVERIFY(run.tickUntil([&] { return run.resultShown(); }));
            QVERIFY(window.findChild<CompareWindow*>()->listedText().contains(
                QRegularExpression("(^|\n)Pin 42 \\(IN5 1\\): [^\n]+ \u2192 TQ-450 Cancel\n")));
            run.dialogs.saveAnswers << run.file("organ");
            window.saveProgramDataFile();
            QCOMPARE(window.shownTitle(), u"VRXConfig - Editing File: organ.vrx"_s);
            saved = window.programData();

            answerModal<frmPrompt>(pressOk);
            window.findChild<QAction*>(u"mnuWrite"_s)->trigger();
            QVERIFY(run.tickUntil([&] { return isProgramUpdate(run.unit().received().back()); }));
            QVERIFY(!window.commandEnabled(MainWindow::kLoadOrganSlot) &&
                    !window.commandEnabled(MainWindow::kWriteSlot) && !window.midiSetupEnabled());
            // A load asked for halfway through the write is refused: the write goes on.
            emit window.loadFromDeviceRequested();

            // Leaving waits for the write and its read-back; the close button while waiting
            // asks nothing more.
            QSignalSpy finished(run.program.get(), &VrxApplication::finished);
            run.dialogs.yesNoAnswer = true;
            window.askToExit();
            window.close();
            QCOMPARE(finished.count(), 0);
            QVERIFY(
                status.statusText().endsWith(u"\r\nVRXConfig closes when the write is done."_s));
            QVERIFY(run.tickUntil([&] { return finished.count() == 1; }, 6000));
            QVERIFY(status.statusText().contains(u"Done.\r\nVerifying... ok"_s));
            QVERIFY(*decodeProgramData(run.unit().program(5)) == saved);
        }

        ProgramRun again(1, {}, folder.path());
        again.dialogs.openAnswers << again.file("organ.vrx");
        auto& window = *again.start("lblLoad");
        again.tickFor(1000);
        QVERIFY(window.programData() == saved);
        QVERIFY(again.program->statusWindow()->statusText().startsWith(
            u"Program Data successfully loaded from file organ.vrx"_s));
        // The open dialog starts where the file was saved.
        QCOMPARE(again.dialogs.asked.back().folder, folder.path() + u"/"_s);
        // The file opened last heads the recent files.
        QCOMPARE(window.recentFilesMenu()->actions().first()->data().toString(),
                 again.file("organ.vrx"));
    }

    void silentUnitGetsDotsThenTheWarningUntilTheStatusWindowCloses() {
        ProgramRun run;
        run.unit().faults().silent = true;
        QVERIFY(!startWithLoadFromUnit(run, 3100));
        auto& status = *run.program->statusWindow();
        QVERIFY(status.statusText().startsWith(u"Requesting VRX Configuration..."_s));
        run.tickFor(2000);
        QCOMPARE(status.statusText(),
                 u"Check your MIDI connections and make sure that your VRX is "
                 "turned on!\r\nRetrying..."_s);
        click(status, "cmdClose");
        // What was already queued still goes out; then nothing more.
        run.tickFor(300);
        const auto requests = run.unit().received().size();
        run.tickFor(5000);
        QCOMPARE(run.unit().received().size(), requests);
    }

    // Help shows the user guide; Exit, or closing the window, leaves and saves nothing.
    void theStartScreenShowsTheGuideAndLeavesWithoutSaving() {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath(u"docs"_s);
        vrx::testing::writeAll(folder.filePath(u"docs/USER_GUIDE.md"_s),
                               "# VRXConfig user guide\n\nSet the **DIP switches** as shown.\n");
        for (const auto leave : {+[](QWidget& screen) { click(screen, "cmdExit"); },
                                 +[](QWidget& screen) { screen.close(); }}) {
            ProgramRun run(1, {}, folder.path());
            QSignalSpy finished(run.program.get(), &VrxApplication::finished);
            run.start();
            click(*run.program->startScreen(), "cmdHelp");
            QVERIFY(run.program->helpWindow()->browser()->toPlainText().contains(
                u"Set the DIP switches as shown."_s));
            // Esc closes the guide, as it does a dialog.
            QVERIFY(run.program->helpWindow()->isVisible());
            QTest::keyClick(run.program->helpWindow()->browser(), Qt::Key_Escape);
            QVERIFY(!run.program->helpWindow()->isVisible());
            leave(*run.program->startScreen());
            QCOMPARE(finished.count(), 1);
        }
        QVERIFY(!QFileInfo::exists(folder.filePath(u"VrxConfig.ini"_s)));
    }

    void versionAnswersWithoutADisplay() {
        QProcess program;
        program.startCommand(u"env -u DISPLAY -u QT_QPA_PLATFORM " VRX_BIN_DIR
                             "/vrxconfig --version"_s);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith("VRXConfig "));
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::ProgramTest)
#include "program_test.moc"
