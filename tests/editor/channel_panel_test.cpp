#include <QLabel>
#include <QStatusBar>
#include <QUndoStack>
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
        // Undoing the lock and then the pin's channel gives the channel back.
        QCOMPARE(named(*window, "mnuUndo")->text(), QString("&Undo MIDI Stop Lock"));
        named(*window, "mnuUndo")->trigger();
        named(*window, "mnuUndo")->trigger();
        QVERIFY(keyboard->isEnabled() && !warning->isVisible());
        QCOMPARE(window->programData().channels[2].inputKeyboard, 1);
    }

    // A file whose MIDI Stop channels still have a keyboard: the lock sets them to None as
    // an edit of its own, which the title, the undo history and the status bar show, and
    // which a save holds whether the channel tab was visited or not.
    void theMidiStopLockIsAnEditOfItsOwn() {
        ProgramData organ;
        organ.pins[41] = {kMidiStop, 2, 0};
        organ.pins[9] = {kMidiStop, 4, 1};
        organ.channels[2].inputKeyboard = 1;
        organ.channels[4].inputKeyboard = 2;
        organ.channels[6].inputKeyboard = 3;
        writeAll(bench_.path("organ.vrx"), fileOf(organ));
        auto window = bench_.makeEmptyWindow();
        bench_.dialogs.openAnswers << bench_.path("organ.vrx");
        window->loadProgramDataFile();
        ProgramData locked = *decodeProgramData(encodeProgramData(organ));
        locked.channels[2].inputKeyboard = locked.channels[4].inputKeyboard = 0;
        QVERIFY(window->programData() == locked);
        QVERIFY(window->shownTitle().endsWith('*'));
        QCOMPARE(window->undoStack()->count(), 1);
        QCOMPARE(window->statusBar()->currentMessage(),
                 QString("A MIDI Stop pin plays channels 3 and 5: the keyboard is set to None."));

        const auto saved = [&](const QString& name) {
            bench_.dialogs.saveAnswers << bench_.path(name);
            window->saveProgramDataFile();
            return readAll(bench_.path(name));
        };
        const QByteArray before = saved("before.vrx");
        named<QTabWidget>(*window, "tabScope")->setCurrentIndex(1);
        named<QTabWidget>(*window, "tabScope")->setCurrentIndex(0);
        QCOMPARE(saved("after.vrx"), before);
        QCOMPARE(window->undoStack()->count(), 1);
        QVERIFY(!window->shownTitle().endsWith('*'));
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
