// Backing up and restoring every program of the unit from the window, against the
// simulated unit in virtual time.
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/frm_midi_setup.h"
#include "app/frm_prompt.h"
#include "app_harness.h"
#include "files/config_file.h"
#include "files/program_folder.h"

using namespace vrx;
using namespace vrx::app;
using namespace vrx::app::testing;

namespace {

void chooseSimulator(frmMIDISetup& dialog) {
    dialog.inputList()->setCurrentIndex(dialog.inputList()->count() - 1);
    dialog.outputList()->setCurrentIndex(dialog.outputList()->count() - 1);
    dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
}

// Into the editor with the simulated unit chosen, the result of a first load gone.
void openWithUnit(ProgramRun& run) {
    answerModal<frmMIDISetup>(chooseSimulator);
    run.choose(QStringLiteral("New"));
    answerModal<frmPrompt>([](frmPrompt& prompt) {
        prompt.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    QVERIFY(run.tickUntil([&] { return run.program->link()->commState() == kStateResultShown; }));
    run.tickFor(2200);
}

void trigger(ProgramRun& run, const char* action) {
    run.program->mainWindow()->findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

bool idle(ProgramRun& run) {
    return !run.program->unitPrograms()->running();
}

}  // namespace

class UnitProgramsTest : public QObject {
    Q_OBJECT

private slots:
    void backupThenRestoreOfTheCheckedProgramsProvesEachOne() {
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        openWithUnit(run);
        const QString backup = folder.filePath(QStringLiteral("organ-backup"));

        run.folderAnswers << backup;
        trigger(run, "mnuBackupAll");
        QVERIFY(run.program->unitPrograms()->progressWindow()->isVisible());
        QVERIFY(run.tickUntil([&] { return idle(run); }));
        QCOMPARE(run.dialogs.asked.back().kind, QStringLiteral("information"));
        QVERIFY(run.dialogs.asked.back().text.startsWith(
            QStringLiteral("16 of 16 programs saved in ") + backup +
            QStringLiteral(":\nprogram-001.vrx, program-002.vrx")));
        const auto files = readProgramFolder(backup.toStdString());
        QCOMPARE(files.size(), std::size_t(16));

        // The unit's programs 3 and 4 change; the backup brings back only what is checked.
        const Bytes before3 = run.unit().program(3);
        run.unit().setProgram(3, run.unit().program(9));
        run.unit().setProgram(4, run.unit().program(9));
        run.folderAnswers << backup;
        run.dialogs.yesNoAnswer = true;
        answerModal<QDialog>([](QDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lstPrograms"));
            QCOMPARE(list->count(), 16);
            QCOMPARE(list->item(2)->text(), QStringLiteral("Program 3 (program-003.vrx)"));
            for (int i = 0; i < list->count(); ++i) {
                QCOMPARE(list->item(i)->checkState(), Qt::Checked);
                if (i != 2) {
                    list->item(i)->setCheckState(Qt::Unchecked);
                }
            }
            dialog.accept();
        });
        trigger(run, "mnuRestore");
        QCOMPARE(run.dialogs.asked.back().text,
                 QStringLiteral("These programs in the VRX will be overwritten: 3.\n\nContinue?"));
        QVERIFY(run.tickUntil([&] { return idle(run); }));
        QCOMPARE(run.dialogs.asked.back().kind, QStringLiteral("information"));
        QCOMPARE(run.dialogs.asked.back().text,
                 QStringLiteral("Restored from ") + backup +
                     QStringLiteral(":\nProgram 3: written and verified"));
        QCOMPARE(run.unit().program(3), before3);
        QCOMPARE(run.unit().program(4), run.unit().program(9));
    }

    void cancelledBackupKeepsTheProgramsReadAndSaysSo() {
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        openWithUnit(run);
        const QString backup = folder.filePath(QStringLiteral("partial"));
        run.folderAnswers << backup;
        trigger(run, "mnuBackupAll");
        QVERIFY(run.tickUntil([&] { return QDir(backup).count() >= 2 + 2; }));
        run.program->unitPrograms()->progressWindow()->findChild<QPushButton*>()->click();
        QVERIFY(run.tickUntil([&] { return idle(run); }));
        const auto saved = readProgramFolder(backup.toStdString()).size();
        QVERIFY2(saved >= 2 && saved <= 3, qPrintable(QString::number(saved)));
        QCOMPARE(run.dialogs.asked.back().kind, QStringLiteral("warning"));
        QVERIFY(
            run.dialogs.asked.back().text.endsWith(QStringLiteral("The backup was cancelled.")));
    }
};

QTEST_MAIN(UnitProgramsTest)
#include "unit_programs_test.moc"
