#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include "editor/channel_panel.h"
#include "editor/general_settings_panel.h"
#include "editor/main_window.h"
#include "editor/pin_grid.h"
#include "recording_dialogs.h"

using vrx::ChannelPanel;

namespace {

template <typename T>
T* child(const QObject& parent, const QString& name) {
    auto* found = parent.findChild<T*>(name);
    if (!found) {
        qFatal("no control %s", qPrintable(name));
    }
    return found;
}

QComboBox* combo(const QObject& parent, const char* column, int channel) {
    return child<QComboBox>(parent, QStringLiteral("%1_%2").arg(column).arg(channel));
}

}  // namespace

class ChannelPanelTest : public QObject {
    Q_OBJECT
private slots:
    void rowsStartAtNoneAndMinus36InChannelOrder() {
        vrx::ProgramData data;
        ChannelPanel panel(data);
        panel.show();
        int lastTop = -1;
        for (int c = 0; c < vrx::kMidiChannels; ++c) {
            QCOMPARE(child<QLabel>(panel, QStringLiteral("midiChannel_%1").arg(c))->text(),
                     QString::number(c + 1));
            QCOMPARE(combo(panel, "inputKeyboard", c)->currentText(), QString("None"));
            QCOMPARE(combo(panel, "analogInput", c)->currentText(), QString("None"));
            QCOMPARE(combo(panel, "cboMidiController", c)->currentText(), QString("Volume (7)"));
            QVERIFY(!combo(panel, "cboMidiController", c)->isEnabled());
            QCOMPARE(combo(panel, "transposeInput", c)->currentText(), QString("-36"));
            QVERIFY(!child<QLabel>(panel, QStringLiteral("picIcon_%1").arg(c))->isVisible());
            const int top = combo(panel, "inputKeyboard", c)->geometry().top();
            QVERIFY(top > lastTop);
            lastTop = top;
        }
        auto* offsets = combo(panel, "transposeInput", 0);
        QCOMPARE(offsets->count(), 128);
        QCOMPARE(offsets->itemText(0), QString("+91"));
        QCOMPARE(offsets->itemText(90), QString("+1"));
        QCOMPARE(offsets->itemText(91), QString("0"));
        QCOMPARE(offsets->itemText(127), QString("-36"));
    }

    void choicesGoStraightIntoTheConfiguration() {
        vrx::ProgramData data;
        ChannelPanel panel(data);
        combo(panel, "inputKeyboard", 3)->setCurrentIndex(4);
        combo(panel, "transposeInput", 3)->setCurrentIndex(91);
        combo(panel, "transposeInput", 4)->setCurrentIndex(0);
        combo(panel, "analogInput", 15)->setCurrentIndex(4);
        combo(panel, "cboMidiController", 15)->setCurrentIndex(1);
        vrx::ProgramData expected;
        expected.channels[3].inputKeyboard = 4;
        expected.channels[3].keyOffset = 0;
        expected.channels[4].keyOffset = 91;
        expected.channels[15].analogInput = 4;
        expected.channels[15].controllerType = 1;
        QCOMPARE(data, expected);
    }

    void controllerListFollowsTheAnalogInput() {
        vrx::ProgramData data;
        ChannelPanel panel(data);
        combo(panel, "analogInput", 6)->setCurrentIndex(2);
        QVERIFY(combo(panel, "cboMidiController", 6)->isEnabled());
        combo(panel, "cboMidiController", 6)->setCurrentIndex(1);
        combo(panel, "analogInput", 6)->setCurrentIndex(0);
        QVERIFY(!combo(panel, "cboMidiController", 6)->isEnabled());
        combo(panel, "analogInput", 6)->setCurrentIndex(2);
        QVERIFY(combo(panel, "cboMidiController", 6)->isEnabled());
        QCOMPARE(combo(panel, "cboMidiController", 6)->currentText(), QString("Expression (11)"));
        QCOMPARE(data.channels[6].controllerType, 1);

        data.channels[2].analogInput = 0;
        data.channels[2].controllerType = 1;
        data.channels[5].analogInput = 3;
        panel.refresh();
        QVERIFY(!combo(panel, "cboMidiController", 2)->isEnabled());
        QVERIFY(combo(panel, "cboMidiController", 5)->isEnabled());
        QCOMPARE(combo(panel, "analogInput", 5)->currentText(), QString("#3"));
    }

    void midiStopLocksItsChannelAndNamesThePin() {
        vrx::ProgramData data;
        data.channels[2].inputKeyboard = 2;
        data.pins[41] = {vrx::kMidiStop, 2, 0};
        ChannelPanel panel(data);
        panel.show();
        panel.checkMidiStopChannels();
        auto* keyboard = combo(panel, "inputKeyboard", 2);
        auto* warning = child<QLabel>(panel, "picIcon_2");
        QVERIFY(!keyboard->isEnabled());
        QCOMPARE(keyboard->currentText(), QString("None"));
        QCOMPARE(data.channels[2].inputKeyboard, 0);
        QVERIFY(warning->isVisible());
        QCOMPARE(warning->toolTip(),
                 QString("MIDI Stop on Control Input #42 is using this MIDI channel!"));

        data.pins[99] = {vrx::kMidiStop, 2, 3};  // the last pin on a channel is named
        panel.checkMidiStopChannels();
        QCOMPARE(warning->toolTip(),
                 QString("MIDI Stop on Control Input #100 is using this MIDI channel!"));

        data.pins[41] = data.pins[99] = {};
        panel.checkMidiStopChannels();
        QVERIFY(keyboard->isEnabled());
        QCOMPARE(keyboard->currentText(), QString("None"));
        QVERIFY(!warning->isVisible());
    }

    void onlyTheChannelTabRunsTheMidiStopCheck() {
        vrx::testing::RecordingDialogs dialogs;
        vrx::MainWindow window({vrx::testing::numberedInstruments(128), &dialogs, {}});
        window.show();
        auto* tabs = child<QTabWidget>(window, "tabScope");
        auto* grid = child<vrx::PinGrid>(window, {});
        auto* keyboard = combo(window, "inputKeyboard", 2);
        keyboard->setCurrentIndex(1);
        tabs->setCurrentIndex(1);
        grid->beginCellEdit(42, vrx::PinGrid::kFunctionColumn);
        grid->activeEditor()->hidePopup();
        grid->activeEditor()->setCurrentIndex(vrx::kMidiStop);
        tabs->setCurrentIndex(2);  // commits the edit, but does not check
        QCOMPARE(window.programData().pins[41].pinFunction, int(vrx::kMidiStop));
        grid->beginCellEdit(42, vrx::PinGrid::kChannelColumn);
        grid->activeEditor()->hidePopup();
        grid->activeEditor()->setCurrentIndex(2);
        tabs->setCurrentIndex(1);
        QVERIFY(keyboard->isEnabled());
        QCOMPARE(window.programData().channels[2].inputKeyboard, 1);

        tabs->setCurrentIndex(0);
        QVERIFY(!keyboard->isEnabled());
        QCOMPARE(window.programData().channels[2].inputKeyboard, 0);
        QCOMPARE(child<QLabel>(window, "picIcon_2")->toolTip(),
                 QString("MIDI Stop on Control Input #42 is using this MIDI channel!"));
    }

    void generalSettingsGoStraightIntoTheConfiguration() {
        vrx::ProgramData data;
        vrx::GeneralSettingsPanel panel(data);
        QCOMPARE(combo(panel, "cboArchiveAnalogInput", 0)->currentText(), QString("None"));
        QCOMPARE(combo(panel, "cboArchiveAnalogInput", 1)->currentText(), QString("1"));
        QCOMPARE(child<QComboBox>(panel, "cboTuningInput")->count(), 6);
        combo(panel, "cboArchiveAnalogInput", 0)->setCurrentIndex(5);
        combo(panel, "cboArchiveAnalogInput", 1)->setCurrentIndex(15);
        child<QComboBox>(panel, "cboTuningInput")->setCurrentIndex(5);
        QCOMPARE(child<QComboBox>(panel, "cboTuningInput")->currentText(), QString("#6"));
        child<QCheckBox>(panel, "chkTuning_1")->setChecked(true);
        child<QCheckBox>(panel, "chkTuning_4")->setChecked(true);
        QCOMPARE(child<QCheckBox>(panel, "chkTuning_3")->text(),
                 QString("Enable sending of Universal Realtime SysEx - Master Fine Tuning"));
        vrx::ProgramData expected;
        expected.archiveAnalogInput = 5;
        expected.archiveMidiChannel = 15;
        expected.tuningInput = 5;
        expected.tuningOptions = {false, true, false, false, true};
        QCOMPARE(data, expected);

        data = vrx::ProgramData{};
        data.tuningOptions[0] = true;
        panel.refresh();
        QVERIFY(child<QCheckBox>(panel, "chkTuning_0")->isChecked());
        QVERIFY(!child<QCheckBox>(panel, "chkTuning_1")->isChecked());
        QCOMPARE(combo(panel, "cboArchiveAnalogInput", 1)->currentText(), QString("1"));
    }
    void theWheelChangesADropDownOnlyOnceItHasTheFocus() {
        vrx::ProgramData data;
        QScrollArea page;
        auto* panel = new ChannelPanel(data);
        page.setWidget(panel);
        page.resize(600, 200);
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        const auto wheelDown = [](QWidget* target) {
            const QPointF centre = QRectF(target->rect()).center();
            QWheelEvent wheel(centre, target->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
            return wheel.isAccepted();
        };
        auto* transpose = combo(*panel, "transposeInput", 0);
        transpose->setCurrentIndex(100);
        const int offset = data.channels[0].keyOffset;
        QVERIFY2(!wheelDown(transpose), "left for the page around it to scroll");
        QCOMPARE(transpose->currentIndex(), 100);
        QCOMPARE(data.channels[0].keyOffset, offset);

        transpose->setFocus(Qt::MouseFocusReason);
        QVERIFY(transpose->hasFocus());
        wheelDown(transpose);
        QCOMPARE(transpose->currentIndex(), 101);

        auto* general = new vrx::GeneralSettingsPanel(data);
        general->show();
        auto* box = general->findChildren<QComboBox*>().front();
        const int before = box->currentIndex();
        wheelDown(box);
        QCOMPARE(box->currentIndex(), before);
        QCOMPARE(box->focusPolicy(), Qt::StrongFocus);
        delete general;
    }
};

QTEST_MAIN(ChannelPanelTest)
#include "channel_panel_test.moc"
