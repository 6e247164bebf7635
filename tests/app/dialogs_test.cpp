// The shell's own windows: the prompt over its rules, the MIDI I/O Setup lists and the
// status window.
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "app/dip_switch_view.h"
#include "app/frm_midi_setup.h"
#include "app/frm_prompt.h"
#include "app/frm_splash.h"
#include "app/frm_status.h"
#include "app_harness.h"
#include "files/program_settings.h"
#include "ports/counted_ports.h"

using namespace vrx;
using namespace vrx::app;
using namespace vrx::app::testing;
using Lever = DipSwitchView::Lever;
using vrx::testing::ListedInput;
using vrx::testing::ListedOutput;

namespace {

struct SetupFixture {
    QTemporaryDir folder;
    ListedInput input{{"USB MIDI In"}};
    ListedOutput output{{"USB MIDI Out", "Synth"}};
    MidiSetup setup;
    ProgramSettings settings{folder.filePath(QStringLiteral("VrxConfig.ini")).toStdString()};
    QStringList errors;
    QStringList logged;

    frmMIDISetup::Context context(MidiInput& in) {
        return {in,
                output,
                setup,
                settings,
                [this](const QString& text) { errors << text; },
                [this](std::string_view line) { logged << QString::fromUtf8(line.data()); },
                {},
                {}};
    }
};

QStringList entriesOf(const QComboBox& list) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i) {
        entries << list.itemText(i);
    }
    return entries;
}

std::array<Lever, 8> leversOf(frmPrompt& dialog) {
    return dialog.findChild<DipSwitchView*>(QStringLiteral("picDipSwitch"))->levers();
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void midiSetupNumbersTheDevicesAndKeepsTheStoredChoice() {
        SetupFixture f;
        f.settings.setMidiOutDevice(3);
        frmMIDISetup dialog(f.context(f.input));
        QCOMPARE(entriesOf(*dialog.outputList()),
                 (QStringList{"[Choose a MIDI out device]", "#1: Default output (USB MIDI Out)",
                              "#2: USB MIDI Out", "#3: Synth"}));
        QCOMPARE(entriesOf(*dialog.inputList()),
                 (QStringList{"[Choose a MIDI in device]", "#1: USB MIDI In"}));
        QCOMPARE(dialog.outputList()->currentIndex(), 3);
        QCOMPARE(dialog.inputList()->currentIndex(), 0);
        QVERIFY(f.errors.isEmpty());

        dialog.inputList()->setCurrentIndex(1);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        QVERIFY(f.setup.midiConfigured);
        QVERIFY(!f.setup.midiSetupCancelled);
        QCOMPARE(f.setup.portInDevice, 1);
        QCOMPARE(f.setup.portOutDevice, 3);
        QCOMPARE(f.settings.midiInDevice(), std::int16_t(1));
    }

    void midiSetupCancelKeepsTheEarlierDevices() {
        SetupFixture f;
        f.setup.portInDevice = 1;
        f.setup.portOutDevice = 2;
        auto* dialog = new frmMIDISetup(f.context(f.input));
        dialog->outputList()->setCurrentIndex(3);
        dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        QVERIFY(f.setup.midiSetupCancelled);
        QVERIFY(!f.setup.midiConfigured);
        QCOMPARE(f.setup.portOutDevice, 2);
        QCOMPARE(f.settings.midiOutDevice(), std::int16_t(0));
    }

    void midiSetupWithoutMidiServiceSaysSoAndStillOpens() {
        SetupFixture f;
        ListedInput broken({}, true);
        frmMIDISetup dialog(f.context(broken));
        QCOMPARE(f.errors, QStringList{QStringLiteral(
                               "MIDI I/O Error... you need to configure a MIDI card to use "
                               "this program.")});
        QCOMPARE(f.logged, QStringList{QStringLiteral("No MIDI Card present.")});
        QCOMPARE(dialog.inputList()->count(), 1);
    }

    void midiSetupOkSaysWhichDeviceIsStillMissing() {
        struct Case {
            int input;
            int output;
            QString said;
        };
        const Case cases[] = {
            {0, 2,
             "Choose the MIDI in device the VRX is connected to: its list still shows "
             "\"[Choose a MIDI in device]\"."},
            {1, 0,
             "Choose the MIDI out device the VRX is connected to: its list still shows "
             "\"[Choose a MIDI out device]\"."},
            {0, 0,
             "Choose the MIDI in and MIDI out devices the VRX is connected to: both lists "
             "still show \"[Choose a MIDI in device]\" and \"[Choose a MIDI out device]\"."},
        };
        for (const auto& c : cases) {
            SetupFixture f;
            frmMIDISetup dialog(f.context(f.input));
            dialog.inputList()->setCurrentIndex(c.input);
            dialog.outputList()->setCurrentIndex(c.output);
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            QCOMPARE(f.errors, QStringList{c.said});
            QVERIFY(!f.setup.midiConfigured);
            QCOMPARE(f.settings.midiOutDevice(), std::int16_t(0));
        }
    }

    void midiSetupShowsLongDeviceNamesInFull() {
        SetupFixture f;
        const std::string longName =
            "Roland UM-ONE mk2 USB MIDI Interface connected to the console in the west gallery";
        ListedInput input({longName});
        frmMIDISetup dialog(f.context(input));
        auto& list = *dialog.inputList();
        list.setCurrentIndex(1);
        const QString entry = QStringLiteral("#1: ") + QString::fromStdString(longName);
        QCOMPARE(list.toolTip(), entry);
        QCOMPARE(list.itemData(1, Qt::ToolTipRole).toString(), entry);
        QVERIFY(list.view()->minimumWidth() > list.fontMetrics().horizontalAdvance(entry));
    }

    void promptShowsTheUnitsSwitchesAndFollowsTheTypedNumber() {
        ProgramPrompt prompt;
        prompt.open("Loading Program Data From VRX", 5, 8, "VRX");
        frmPrompt dialog;
        int result = 0;
        answerModal<frmPrompt>([&](frmPrompt& shown) {
            QCOMPARE(shown.windowTitle(), QStringLiteral("Loading Program Data From VRX"));
            auto* number = shown.findChild<QLineEdit*>(QStringLiteral("txtNumber"));
            QCOMPARE(number->text(), QStringLiteral("5"));
            QVERIFY(!shown.findChild<QLabel*>(QStringLiteral("lblWarning"))->isVisible());
            // Value 4: switch 3 down.
            QCOMPARE(leversOf(shown),
                     (std::array<Lever, 8>{Lever::Up, Lever::Up, Lever::Down, Lever::Up, Lever::Up,
                                           Lever::Up, Lever::Up, Lever::Up}));
            number->selectAll();
            QTest::keyClicks(number, QStringLiteral("7"));
            // Value 6: switches 2 and 3 down.
            QCOMPARE(leversOf(shown)[1], Lever::Down);
            QCOMPARE(leversOf(shown)[2], Lever::Down);
            QCOMPARE(leversOf(shown)[0], Lever::Up);
            // 9 is beyond the unit's 8 programs: the field goes back to 7.
            number->selectAll();
            QTest::keyClicks(number, QStringLiteral("9"));
            QCOMPARE(number->text(), QStringLiteral("7"));
            shown.findChild<QSpinBox*>(QStringLiteral("txtNumberS"))->stepUp();
            QCOMPARE(number->text(), QStringLiteral("8"));
            shown.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        result = dialog.askProgramNumber("Loading Program Data From VRX", prompt);
        QCOMPARE(result, 8);
    }

    void promptWarnsAboutASwitchSettingTheUnitDoesNotHold() {
        ProgramPrompt prompt;
        prompt.open("Writing Program Data To VRX", 20, 16, "VRX");
        frmPrompt dialog;
        answerModal<frmPrompt>([&](frmPrompt& shown) {
            auto* warning = shown.findChild<QLabel*>(QStringLiteral("lblWarning"));
            QVERIFY(warning->isVisible());
            QVERIFY(warning->text().endsWith(QStringLiteral("between 1 and 16")));
            QVERIFY(!shown.findChild<QLabel*>(QStringLiteral("picGo"))->isVisible());
            QCOMPARE(shown.findChild<QLineEdit*>(QStringLiteral("txtNumber"))->text(),
                     QStringLiteral("1"));
            QVERIFY(shown.findChild<QLineEdit*>(QStringLiteral("txtDipSwitch"))
                        ->styleSheet()
                        .contains(QStringLiteral("red")));
            shown.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        QCOMPARE(dialog.askProgramNumber("Writing Program Data To VRX", prompt), -1);
    }

    void promptEscapeAnswersAsCancelDoes() {
        ProgramPrompt prompt;
        prompt.open("Loading Program Data from VRX", 3, 16, "VRX");
        frmPrompt dialog;
        answerModal<frmPrompt>([&](frmPrompt& shown) {
            QTest::keyClick(shown.findChild<QLineEdit*>(QStringLiteral("txtNumber")),
                            Qt::Key_Escape);
        });
        QCOMPARE(dialog.askProgramNumber("Loading Program Data from VRX", prompt), -1);
        QVERIFY(!dialog.isVisible());
    }

    void splashClosesOnAKeyOrByItselfAfterThreeAndAHalfSeconds() {
        frmSplash clicked;
        QSignalSpy clickedDone(&clicked, &frmSplash::finished);
        clicked.show();
        QTest::keyClick(&clicked, Qt::Key_Space);
        QCOMPARE(clickedDone.count(), 1);
        QVERIFY(!clicked.isVisible());

        QElapsedTimer elapsed;
        elapsed.start();
        frmSplash waited;
        QSignalSpy waitedDone(&waited, &frmSplash::finished);
        waited.show();
        QTRY_COMPARE_WITH_TIMEOUT(waitedDone.count(), 1, 5000);
        // Qt lets a coarse timer fire up to 5 % early.
        QVERIFY(elapsed.elapsed() >= frmSplash::kShowMs * 95 / 100);
        QVERIFY(waited.findChild<QLabel*>(QStringLiteral("lblVersion"))
                    ->text()
                    .startsWith(QStringLiteral("Version ")));
    }

    void statusWindowKeepsTheNewestLineAndStopsInputWhenClosed() {
        frmStatus status;
        bool stopped = false;
        connect(&status, &frmStatus::closedByUser, [&] { stopped = true; });
        status.show();
        status.setStatusText(QStringLiteral("Requesting VRX Configuration.."));
        for (int i = 0; i < 60; ++i) {
            status.appendStatusText(QStringLiteral("\r\nline %1").arg(i));
        }
        QVERIFY(status.statusText().endsWith(QStringLiteral("\r\nline 59")));
        auto* text = status.findChild<QPlainTextEdit*>(QStringLiteral("txtStatus"));
        QCOMPARE(text->textCursor().position(), text->toPlainText().size());
        status.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QVERIFY(stopped);
        QVERIFY(!status.isVisible());
        status.unload();
        QVERIFY(status.statusText().isEmpty());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
