// The program among the others on a desktop: files handed to it from outside, the
// recent files, the user guide.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "app/help_window.h"
#include "app/single_instance.h"
#include "app_harness.h"
#include "files/config_file.h"
#include "model/program_image.h"

using namespace vrx;
using namespace vrx::app;
using namespace vrx::app::testing;

namespace {

const QString kChurch = QStringLiteral(VRX_FIXTURES_DIR "/church_console.vrx");
const QString kFromUnit = QStringLiteral(VRX_FIXTURES_DIR "/from_unit.vrx");

// What the editor holds after opening `path` over `before`: a decode keeps what the
// image does not hold.
ProgramData fixtureData(const QString& path, ProgramData before = {}) {
    const auto contents = readConfigFile(path.toStdString());
    decodeProgramData(std::get<Bytes>(contents), before);
    return before;
}

void skipSplash(ProgramRun& run) {
    run.program->start();
    QTest::keyClick(run.program->splash(), Qt::Key_Space);
    run.program->timer().stop();
}

QStringList recentEntries(const MainWindow& window) {
    QStringList entries;
    for (const QAction* action : window.recentFilesMenu()->actions()) {
        entries << action->data().toString() + (action->isEnabled() ? "" : " (greyed)");
    }
    return entries;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void aFileNamedAtStartOpensInTheEditorWithoutTheStartScreen() {
        QTemporaryDir folder;
        const QString broken = folder.filePath(QStringLiteral("broken.vrx"));
        writeAll(broken, "not a configuration\r\n");
        struct Case {
            QString path;
            QString title;
            QString status;
            bool opened;
        };
        const Case cases[] = {
            {kChurch, "VRXConfig - Editing File: church_console.vrx",
             "Program Data successfully loaded from file church_console.vrx", true},
            {broken, "VRXConfig by Tallowmere", "Invalid VRX Program Data file... Sorry.", false},
        };
        for (const auto& c : cases) {
            ProgramRun run(folder.path(), {}, c.path);
            skipSplash(run);
            QVERIFY(!run.program->startScreen());
            auto& window = *run.program->mainWindow();
            QVERIFY(window.isVisible());
            run.tickFor(200);
            QCOMPARE(window.shownTitle(), c.title);
            QVERIFY2(run.program->statusWindow()->statusText().startsWith(c.status),
                     qPrintable(run.program->statusWindow()->statusText()));
            QVERIFY(window.programData() == (c.opened ? fixtureData(c.path) : ProgramData{}));
            QCOMPARE(window.commandEnabled(MainWindow::kSaveSlot), c.opened);
            QCOMPARE(window.commandEnabled(MainWindow::kWriteSlot), c.opened);
            run.tickFor(2500);
            QVERIFY(window.findChild<QTabWidget*>(QStringLiteral("tabScope"))->isVisible());
        }
    }

    void aFileHandedOverAfterALoadFromTheUnitNamesTheFileInTheTitle() {
        QTemporaryDir folder;
        ProgramRun run(folder.path(), unitOnProgram(5));
        QVERIFY(startWithLoadFromUnit(run));
        auto& window = *run.program->mainWindow();
        QCOMPARE(window.shownTitle(), QStringLiteral("VRXConfig - Editing Program Data #5"));
        run.tickFor(2200);

        const auto fromUnit = window.programData();
        run.program->openFile(kChurch);
        run.tickFor(200);
        QCOMPARE(window.shownTitle(),
                 QStringLiteral("VRXConfig - Editing File: church_console.vrx"));
        QVERIFY(window.programData() == fixtureData(kChurch, fromUnit));
    }

    void recentFilesListTheNewestFirstAndComeBackNextRun() {
        QTemporaryDir folder;
        const QString gone = folder.filePath(QStringLiteral("gone.vrx"));
        QFile::copy(kChurch, gone);
        {
            ProgramRun run(folder.path(), {}, gone);
            skipSplash(run);
            auto& window = *run.program->mainWindow();
            run.program->openFile(kFromUnit);
            run.program->openFile(kChurch);
            run.program->openFile(kFromUnit);
            QCOMPARE(recentEntries(window), (QStringList{kFromUnit, kChurch, gone}));
            run.dialogs.yesNoAnswer = true;
            window.askToExit();
        }
        QFile::remove(gone);
        ProgramRun again(folder.path());
        again.dialogs.openAnswers << QString();  // the start action's dialog, cancelled
        auto& window = again.choose(QStringLiteral("Load"));
        QCOMPARE(recentEntries(window), (QStringList{kFromUnit, kChurch, gone + " (greyed)"}));
        window.recentFilesMenu()->actions().at(1)->trigger();
        QVERIFY(window.programData() == fixtureData(kChurch));
        QCOMPARE(window.shownTitle(),
                 QStringLiteral("VRXConfig - Editing File: church_console.vrx"));
        QCOMPARE(recentEntries(window).first(), kChurch);
        // A file that goes while the program runs is greyed the next time the menu opens.
        const QString later = folder.filePath(QStringLiteral("later.vrx"));
        QFile::copy(kChurch, later);
        window.openConfigurationFile(later);
        QFile::remove(later);
        emit window.recentFilesMenu()->aboutToShow();
        QCOMPARE(recentEntries(window).first(), later + " (greyed)");
    }

    void aDroppedConfigurationFileOpensAndOtherFilesAreRefused() {
        QTemporaryDir folder;
        ProgramRun run(folder.path(), {}, kFromUnit);
        skipSplash(run);
        auto& window = *run.program->mainWindow();
        const auto drop = [&](const QString& path) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &enter);
            if (!enter.isAccepted()) {
                return false;
            }
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                               Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &dropped);
            QCoreApplication::processEvents();
            return true;
        };
        QVERIFY(!drop(QStringLiteral(VRX_RESOURCE_DIR "/genmidi.txt")));
        QCOMPARE(window.shownTitle(), QStringLiteral("VRXConfig - Editing File: from_unit.vrx"));
        QVERIFY(drop(kChurch));
        QVERIFY(window.programData() == fixtureData(kChurch, fixtureData(kFromUnit)));
        QCOMPARE(window.shownTitle(),
                 QStringLiteral("VRXConfig - Editing File: church_console.vrx"));
    }

    void aSecondStartHandsItsFileToTheFirst() {
        const auto key =
            QStringLiteral("vrxconfig-desktop-test-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(key);
        QVERIFY(!first.anotherInstance());
        QSignalSpy activations(&first, &SingleInstance::activationRequested);
        QSignalSpy files(&first, &SingleInstance::fileOpenRequested);

        SingleInstance second(key);
        const QString path = QStringLiteral("/home/organist/Sankt Marien/Orgel ü.vrx");
        QVERIFY(second.anotherInstance({path}));
        QTRY_COMPARE(files.count(), 1);
        QCOMPARE(files.at(0).at(0).toString(), path);
        QCOMPARE(activations.count(), 1);
    }

    void helpOnTheStartScreenAndInTheEditorShowsTheUserGuide() {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath(QStringLiteral("docs"));
        writeAll(folder.filePath(QStringLiteral("docs/USER_GUIDE.md")),
                 "# VRXConfig user guide\n\nSet the **DIP switches** as shown.\n");

        ProgramRun run(folder.path());
        skipSplash(run);
        run.program->startScreen()->findChild<QPushButton*>(QStringLiteral("cmdHelp"))->click();
        auto* help = run.program->helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->windowTitle(), QStringLiteral("VRXConfig User Guide"));
        QVERIFY(help->browser()->toPlainText().contains(
            QStringLiteral("Set the DIP switches as shown.")));
        help->hide();

        run.dialogs.openAnswers << QString();  // the start action's dialog, cancelled
        run.program->startScreen()->findChild<QPushButton*>(QStringLiteral("lblLoad"))->click();
        run.program->timer().stop();
        run.program->mainWindow()->findChild<QAction*>(QStringLiteral("mnuViewDocs"))->trigger();
        QVERIFY(help->isVisible());
        QVERIFY2(run.dialogs.opened.isEmpty(), "no address is guessed");
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
