// The program among the others on a desktop: files handed to it from outside, a
// second start.
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
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::DesktopTest)
#include "desktop_test.moc"
