// The program among the others on a desktop: files handed to it from outside, a
// second start.
#include <QCheckBox>
#include <QEventLoop>
#include <QTabWidget>

#include "app/single_instance.h"
#include "app_harness.h"
#include "files/config_file.h"
#include "model/program_image.h"

namespace vrx::app::testing {

const QString kChurch = QStringLiteral(VRX_FIXTURES_DIR "/church_console.vrx");

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void aFileNamedAtStartOpensInTheEditorWithoutTheStartScreen() {
        QTemporaryDir folder;
        const QString broken = folder.filePath(u"broken.vrx"_s);
        vrx::testing::writeAll(broken, "not a configuration\r\n");
        const struct {
            QString path;
            QString title;
            QString status;
        } cases[] = {
            {kChurch, "VRXConfig - Editing File: church_console.vrx",
             "Program Data successfully loaded from file church_console.vrx"},
            {broken, "VRXConfig by Tallowmere", "Invalid VRX Program Data file... Sorry."},
        };
        for (const auto& c : cases) {
            const bool opened = c.path == kChurch;
            ProgramRun run(1, c.path);
            auto& window = *run.start();
            run.tickFor(200);
            QCOMPARE(window.shownTitle(), c.title);
            QVERIFY(run.program->statusWindow()->statusText().startsWith(c.status));
            const auto file = readConfigFile(c.path.toStdString());
            QVERIFY(window.programData() ==
                    (opened ? *decodeProgramData(std::get<Bytes>(file)) : ProgramData{}));
            QCOMPARE(window.commandEnabled(MainWindow::kSaveSlot), opened);
            // A refused file is named, with the reason, in a message that waits for the user.
            QCOMPARE(run.messages,
                     opened ? QStringList{}
                            : QStringList{"Invalid VRX Program Data file... Sorry.\n\nbroken.vrx: "
                                          "the file is too short: no line holds the 779 "
                                          "characters of a configuration"});
            run.tickFor(2500);
            QVERIFY(window.findChild<QTabWidget*>(u"tabScope"_s)->isVisible());
        }
    }

    void aSecondStartHandsItsFileToTheFirst() {
        const auto key = u"vrxconfig-desktop-test-%1"_s.arg(QCoreApplication::applicationPid());
        SingleInstance first(key);
        QVERIFY(!first.anotherInstance());
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QSignalSpy files(&first, &SingleInstance::fileOpenRequested);
        const QString path = u"/home/organist/Sankt Marien/Orgel ü.vrx"_s;
        QVERIFY(SingleInstance(key).anotherInstance({path}));
        QTRY_COMPARE(files.count(), 1);
        QCOMPARE(files.at(0).at(0).toString(), path);
        QCOMPARE(activations.count(), 1);
    }

    // A file handed over while the editor holds unsaved changes: the question is asked
    // while the second program has already gone, and every answer is kept.
    void aFileHandedOverWhileUnsavedIsAskedAboutAfterTheSecondStartHasGone() {
        using Answer = EditorDialogs::Answer;
        const struct {
            Answer answer;
            bool opened;
            bool saved;
        } cases[] = {
            {Answer::Yes, true, true}, {Answer::No, true, false}, {Answer::Cancel, false, false}};
        for (const auto& c : cases) {
            ProgramRun run(1, kChurch);
            auto& window = *run.start();
            run.tickFor(200);
            const auto key =
                u"vrxconfig-handover-test-%1"_s.arg(QCoreApplication::applicationPid());
            SingleInstance first(key);
            QVERIFY(!first.anotherInstance());
            QObject::connect(&first, &SingleInstance::fileOpenRequested, run.program.get(),
                             &VrxApplication::openFile);
            auto* tuning = window.findChild<QCheckBox*>(u"chkTuning_2"_s);
            tuning->setChecked(!tuning->isChecked());
            QVERIFY(window.shownTitle().endsWith('*'));
            const ProgramData edited = window.programData();
            run.dialogs.yesNoCancelAnswer = c.answer;
            run.dialogs.saveAnswers = {run.file("kept.vrx")};
            // As a real question's own loop does: the second program's socket closes
            // and is cleaned up while the user thinks.
            run.dialogs.whileAsking = [] {
                QEventLoop loop;
                QTimer::singleShot(100, &loop, &QEventLoop::quit);
                loop.exec();
            };
            const QString other = run.file("other.vrx");
            vrx::testing::writeAll(other, vrx::testing::readAll(kChurch));
            QVERIFY(SingleInstance(key).anotherInstance({other}));
            QTRY_COMPARE(run.dialogs.count("yesnocancel"), 1);
            QCoreApplication::processEvents();
            run.dialogs.whileAsking = {};
            QCOMPARE(QFileInfo::exists(run.file("kept.vrx")), c.saved);
            QCOMPARE(window.shownTitle(), c.opened
                                              ? u"VRXConfig - Editing File: other.vrx"_s
                                              : u"VRXConfig - Editing File: church_console.vrx*"_s);
            QCOMPARE(window.programData() == edited, !c.opened);
        }
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::DesktopTest)
#include "desktop_test.moc"
