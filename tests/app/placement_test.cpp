// Where the main window opens on a desktop with two monitors and framed windows.
#include <QGuiApplication>
#include <QScreen>

#include "app_harness.h"

namespace vrx::app::testing {

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    void aPlacePastTheFirstMonitorsBottomIsFittedOntoItAndTheWindowOpensWhereItWasLeft() {
        QTemporaryDir folder;
        // 900 px down the left-hand monitor: the window would reach past its bottom, though
        // not past that of the taller right-hand one beside it.
        vrx::testing::writeAll(folder.filePath(u"VrxConfig.ini"_s),
                               "[VRXConfig]\r\nMaximised=0\r\nLeft=1500\r\nTop=13500\r\n");
        // Opens the editor (its start-up file dialog cancelled), lets `use` move it about,
        // and leaves through File, Exit; returns where the editor opened.
        const auto startAndLeave = [&](const std::function<void(MainWindow&)>& use) {
            ProgramRun run(1, {}, folder.path());
            auto& window = *run.start("lblLoad");
            run.tickFor(200);
            const QRect opened(window.pos(), window.size());
            use(window);
            run.dialogs.yesNoAnswer = true;
            window.askToExit();
            return opened;
        };
        const QRect fitted = startAndLeave([](MainWindow& window) {
            QVERIFY(window.frameGeometry() != window.geometry());
            window.move(1500, 100);    // on the right-hand monitor
            window.resize(1024, 900);  // taller than designed
        });
        QCOMPARE(fitted.left(), 100);
        QCOMPARE(fitted.bottom() + 1,
                 QGuiApplication::screens().at(0)->availableGeometry().bottom() + 1 - 4);
        QCOMPARE(startAndLeave([](MainWindow&) {}), QRect(1500, 100, 1024, 900));
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::PlacementTest)
#include "placement_test.moc"
