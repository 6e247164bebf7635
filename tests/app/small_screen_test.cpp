// The program on a laptop screen of 1600 x 1000 pixels scaled by 2.
#include <QGuiApplication>
#include <QScreen>

#include "app_harness.h"

namespace vrx::app::testing {

class SmallScreenTest : public QObject {
    Q_OBJECT

private slots:
    void theEditorFitsTheScreen() {
        ProgramRun run;
        auto& window = *run.start("lblLoad");
        run.tickFor(200);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(window.frameGeometry()),
                 qPrintable(u"%1x%2 at %3,%4 on %5x%6"_s.arg(window.width())
                                .arg(window.height())
                                .arg(window.x())
                                .arg(window.y())
                                .arg(screen.width())
                                .arg(screen.height())));
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::SmallScreenTest)
#include "small_screen_test.moc"
