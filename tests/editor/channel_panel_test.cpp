#include <QLabel>
#include <QWheelEvent>

#include "editor_bench.h"

namespace vrx::testing {

class ChannelPanelTest : public QObject {
    Q_OBJECT

    EditorBench bench_;

private slots:
    // A MIDI Stop pin takes its channel's keyboard away, with a warning that names the pin,
    // once the channel tab is shown again.
    void onlyTheChannelTabRunsTheMidiStopCheck() {
        auto window = bench_.makeWindow();
        auto* keyboard = named<QComboBox>(*window, "inputKeyboard_2");
        auto* warning = named<QLabel>(*window, "picIcon_2");
        keyboard->setCurrentIndex(1);
        PinGrid* grid = showPinGrid(*window);
        editPin(*window, 42, PinGrid::kFunctionColumn, kMidiStop);
        pickInCell(*grid, 42, PinGrid::kChannelColumn, 2);
        named<QTabWidget>(*window, "tabScope")->setCurrentIndex(2);  // takes it in, no check
        QVERIFY(keyboard->isEnabled());
        named<QTabWidget>(*window, "tabScope")->setCurrentIndex(0);
        QVERIFY(!keyboard->isEnabled() && warning->isVisible());
        QCOMPARE(window->programData().channels[2].inputKeyboard, 0);
        QCOMPARE(warning->toolTip(),
                 QString("MIDI Stop on Control Input #42 is using this MIDI channel!"));
        // Undoing the channel gives it back.
        named(*window, "mnuUndo")->trigger();
        QVERIFY(keyboard->isEnabled() && !warning->isVisible());
    }

    void theWheelChangesADropDownOnlyOnceItHasTheFocus() {
        auto window = bench_.makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const auto wheelDown = [](QWidget* target) {
            const QPointF centre = QRectF(target->rect()).center();
            QWheelEvent wheel(centre, target->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
            return wheel.isAccepted();
        };
        auto* transpose = named<QComboBox>(*window, "transposeInput_0");
        transpose->setCurrentIndex(1);
        QVERIFY2(!wheelDown(transpose), "left for the page around it to scroll");
        QCOMPARE(transpose->currentText(), QString("+90"));
        QCOMPARE(transpose->focusPolicy(), Qt::StrongFocus);
        transpose->setFocus(Qt::MouseFocusReason);
        wheelDown(transpose);
        QCOMPARE(window->programData().channels[0].keyOffset, 89);
    }
};

}  // namespace vrx::testing

QTEST_MAIN(vrx::testing::ChannelPanelTest)
#include "channel_panel_test.moc"
