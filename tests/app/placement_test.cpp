// Where the main window opens on a desktop with two monitors and framed windows.
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "app_harness.h"

using namespace vrx;
using namespace vrx::app::testing;

namespace {

// Opens the editor (its start-up file dialog answered with Cancel), lets `use` move it
// about, and leaves through File, Exit. Returns where the editor opened.
QRect startAndLeave(const QString& folder, const std::function<void(MainWindow&)>& use = {}) {
    ProgramRun run(folder);
    auto& window = run.choose(QStringLiteral("Load"));
    run.tickFor(200);
    const QRect opened(window.pos(), window.size());
    if (use) {
        use(window);
    }
    run.dialogs.yesNoAnswer = true;
    window.askToExit();
    return opened;
}

}  // namespace

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowOpensWhereItWasLeftStartAfterStart() {
        QTemporaryDir folder;
        startAndLeave(folder.path(), [](MainWindow& window) {
            QVERIFY(window.frameGeometry() != window.geometry());
            window.move(1500, 100);    // on the right-hand monitor
            window.resize(1024, 900);  // taller than designed
        });
        for (int start = 2; start <= 3; ++start) {
            QCOMPARE(startAndLeave(folder.path()), QRect(1500, 100, 1024, 900));
        }
    }

    void aPlacePastTheSecondMonitorIsFittedOntoIt() {
        QTemporaryDir folder;
        QFile settings(folder.filePath(QStringLiteral("VrxConfig.ini")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        // 2600 px from the left: on the right-hand monitor, but too far for the window.
        settings.write("[VRXConfig]\r\nMaximised=0\r\nLeft=39000\r\nTop=1500\r\n");
        settings.close();
        const QRect opened = startAndLeave(folder.path());
        const QRect right = QGuiApplication::screens().at(1)->availableGeometry();
        QCOMPARE(opened.right() + 1, right.right() + 1 - 4);
        QCOMPARE(opened.top(), 100);
    }
};

QTEST_MAIN(PlacementTest)
#include "placement_test.moc"
