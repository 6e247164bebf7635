// Backing up and restoring every program of the unit from the window, against the
// simulated unit in virtual time.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QProgressDialog>

#include "app_harness.h"
#include "files/program_folder.h"

namespace vrx::app::testing {

class UnitProgramsTest : public QObject {
    Q_OBJECT

private slots:
    void cancelledBackupThenBackupThenRestoreOfTheCheckedPrograms() {
        ProgramRun run;
        QVERIFY(startWithLoadFromUnit(run));
        run.tickFor(2200);
        auto& window = *run.program->mainWindow();
        const auto idle = [&] { return !run.program->unitPrograms()->running(); };
        const auto said = [&] {
            return run.dialogs.asked.back().kind + ": " + run.dialogs.asked.back().text;
        };

        // A backup is a set: cancelled after two programs, it leaves no folder of parts.
        run.folderAnswer = run.file("partial");
        window.findChild<QAction*>(u"mnuBackupAll"_s)->trigger();
        QVERIFY(
            run.tickUntil([&] { return QDir(run.file(".partial.new-backup")).count() >= 2 + 2; }));
        run.program->unitPrograms()->progressWindow()->findChild<QPushButton*>()->click();
        QVERIFY(run.tickUntil(idle));
        QVERIFY(readProgramFolder(run.folderAnswer.toStdString()).empty());
        QVERIFY(said().startsWith("warning: The backup stopped after ") &&
                said().endsWith("\n\nThe backup was cancelled."));

        run.folderAnswer = run.file("organ-backup");
        window.findChild<QAction*>(u"mnuBackupAll"_s)->trigger();
        QVERIFY(run.tickUntil(idle));
        QVERIFY(said().startsWith("information: 16 programs saved in " + run.folderAnswer +
                                  ":\nprogram-001.vrx, program-002.vrx, "));
        QVERIFY(said().endsWith(u", program-016.vrx"_s));
        // Backing up into it again asks first, naming the files; No keeps it.
        run.dialogs.yesNoAnswer = false;
        window.findChild<QAction*>(u"mnuBackupAll"_s)->trigger();
        QVERIFY(said().startsWith("yesno: " + run.folderAnswer +
                                  " already holds a backup:\nprogram-001.vrx, "));
        QVERIFY(idle());
        // The unit's programs 3 and 4 change; the backup brings back only what is checked.
        const Bytes before3 = run.unit().program(3);
        run.unit().setProgram(3, run.unit().program(9));
        run.unit().setProgram(4, run.unit().program(9));
        run.dialogs.yesNoAnswer = true;
        QString third;
        answerModal<QDialog>([&](QDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>(u"lstPrograms"_s);
            for (int i = 0; i < list->count(); ++i) {
                list->item(i)->setCheckState(i == 2 ? Qt::Checked : Qt::Unchecked);
            }
            third = list->item(2)->text();
            dialog.accept();
        });
        window.findChild<QAction*>(u"mnuRestore"_s)->trigger();
        QCOMPARE(third, u"Program 3 (program-003.vrx)"_s);
        QCOMPARE(said(),
                 u"yesno: These programs in the VRX will be overwritten: 3.\n\nContinue?"_s);
        QVERIFY(run.tickUntil(idle));
        QCOMPARE(said(), "information: Restored from " + run.folderAnswer +
                             ":\nProgram 3: written and verified");
        QCOMPARE(run.unit().program(3), before3);
        QCOMPARE(run.unit().program(4), run.unit().program(9));
    }

    // While a backup or restore runs its progress window is in front of the status window.
    // Closing the status window asks once whether to cancel: No goes on, and the run ends as
    // it would have; Yes cancels, and a cancelled restore never reads "Done.".
    void closingTheStatusWindowAsksOnceWhetherToCancel() {
        ProgramRun run;
        QVERIFY(startWithLoadFromUnit(run));
        run.tickFor(2200);
        auto& window = *run.program->mainWindow();
        auto& status = *run.program->statusWindow();
        auto& commands = *run.program->unitPrograms();
        const auto idle = [&] { return !commands.running(); };
        const auto said = [&] {
            return run.dialogs.asked.back().kind + ": " + run.dialogs.asked.back().text;
        };
        status.close();

        run.folderAnswer = run.file("organ-backup");
        run.dialogs.yesNoAnswer = false;
        window.findChild<QAction*>(u"mnuBackupAll"_s)->trigger();
        QVERIFY(run.tickUntil(
            [&] { return QDir(run.file(".organ-backup.new-backup")).count() >= 2 + 2; }));
        QVERIFY(status.isVisible());
        QCOMPARE(QApplication::activeWindow(), commands.progressWindow());
        const auto questions = run.dialogs.asked.size();
        status.close();
        QCOMPARE(said(), u"yesno: Cancel the backup? The programs read so far are not saved."_s);
        status.show();
        status.close();
        QCOMPARE(run.dialogs.asked.size(), questions + 1);
        QVERIFY(run.tickUntil(idle));
        QVERIFY(said().startsWith(u"information: 16 programs saved in "_s));
        QVERIFY(status.isVisible());
        QVERIFY(status.statusText().endsWith(u"\r\nDone."_s));

        run.dialogs.yesNoAnswer = true;
        answerModal<QDialog>([](QDialog& dialog) { dialog.accept(); });
        window.findChild<QAction*>(u"mnuRestore"_s)->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), commands.progressWindow());
        QVERIFY(run.tickUntil([&] { return run.program->link()->restore().done() == 1; }));
        status.close();
        QCOMPARE(said(), u"yesno: Cancel the restore? The program in hand is finished first."_s);
        QVERIFY(run.tickUntil(idle));
        QVERIFY(said().contains(u"Program 3: not written (cancelled)"_s));
        QVERIFY(status.isVisible());
        QVERIFY(status.statusText().endsWith(u"Program 16: not written (cancelled)"_s));
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::UnitProgramsTest)
#include "unit_programs_test.moc"
