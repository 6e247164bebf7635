// The shell's own windows: the prompt over its rules, MIDI I/O Setup, the splash and the
// status window.
#include <QAbstractItemView>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "app/dip_switch_view.h"
#include "app/frm_choice.h"
#include "app/frm_splash.h"
#include "app/frm_status.h"
#include "app_harness.h"
#include "files/program_settings.h"
#include "ports/counted_ports.h"

namespace vrx::app::testing {

// The number field, the levers (-, Up, Down), and the picture, the warning's end and the
// red DIP field when they show.
QString promptShows(frmPrompt& prompt) {
    QString shown = prompt.findChild<QLineEdit*>(u"txtNumber"_s)->text() + ' ';
    for (const auto lever : prompt.findChild<DipSwitchView*>()->levers()) {
        shown += u"-UD"_s.at(static_cast<int>(lever));
    }
    const auto* warning = prompt.findChild<QLabel*>(u"lblWarning"_s);
    shown += prompt.findChild<QLabel*>(u"picGo"_s)->isVisible() ? " picture" : "";
    shown += warning->isVisible() ? " " + warning->text().section(' ', -4) : QString();
    shown +=
        prompt.findChild<QLineEdit*>(u"txtDipSwitch"_s)->styleSheet().contains("red") ? " red" : "";
    return shown;
}

// Opens the prompt over a unit of `programs` with its switches on `dipSwitch`, types each
// of `typed` into the number field, presses the spin control's up arrow, then `key`;
// returns what the prompt showed after each step, and its answer.
QStringList answerPrompt(int dipSwitch, int programs, const QStringList& typed, Qt::Key key) {
    ProgramPrompt prompt;
    prompt.open("Loading Program Data From VRX", dipSwitch, programs, "VRX");
    frmPrompt dialog;
    QStringList shown;
    answerModal<frmPrompt>([&](frmPrompt& open) {
        auto* number = open.findChild<QLineEdit*>(u"txtNumber"_s);
        shown << promptShows(open);
        for (const auto& keys : typed) {
            number->selectAll();
            QTest::keyClicks(number, keys);
            shown << promptShows(open);
        }
        open.findChild<QSpinBox*>()->stepUp();
        shown << promptShows(open);
        QTest::keyClick(number, key);
    });
    shown << QString::number(dialog.askProgramNumber("Loading Program Data From VRX", prompt));
    return shown;
}

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // The levers show the number chosen less one in binary, switch 1 the lowest bit; 9 is
    // beyond the unit's 8 programs, and the field goes back to 7.
    void promptFollowsTheNumberAndWarnsAboutASwitchSettingTheUnitDoesNotHold() {
        QCOMPARE(answerPrompt(5, 8, {"7", "9"}, Qt::Key_Return),
                 (QStringList{"5 UUDUUUUU picture", "7 UDDUUUUU picture", "7 UDDUUUUU picture",
                              "8 DDDUUUUU picture", "8"}));
        QCOMPARE(answerPrompt(20, 16, {}, Qt::Key_Escape),
                 (QStringList{"1 -------- between 1 and 16 red", "1 -------- between 1 and 16 red",
                              "-1"}));
    }

    // OK stores the devices chosen, but not while a list still invites a choice; Cancel
    // keeps the devices chosen earlier.
    void midiSetupStoresTheChosenDevicesOnlyOnceBothAreChosen() {
        const QString longName = u"USB MIDI interface to the console in the west gallery"_s;
        const struct {
            int input, output;
            const char* button;
            const char* outcome;  // configured, cancelled, chosen in and out, stored in and out
            QString said;
        } cases[] = {
            {1, 2, "cmdOK", "1 0 1 2 1 2", {}},
            {0, 2, "cmdOK", "0 0 1 3 0 0",
             "Choose the MIDI in device the VRX is connected to: its list still shows "
             "\"[Choose a MIDI in device]\"."},
            {1, 0, "cmdOK", "0 0 1 3 0 0",
             "Choose the MIDI out device the VRX is connected to: its list still shows "
             "\"[Choose a MIDI out device]\"."},
            {0, 0, "cmdOK", "0 0 1 3 0 0",
             "Choose the MIDI in and MIDI out devices the VRX is connected to: both lists "
             "still show \"[Choose a MIDI in device]\" and \"[Choose a MIDI out device]\"."},
            {1, 2, "cmdCancel", "0 1 1 3 0 0", {}},
        };
        for (const auto& c : cases) {
            vrx::testing::ListedInput input({longName.toStdString()});
            vrx::testing::ListedOutput output({"USB MIDI Out", "Synth"});
            MidiSetup setup{.portInDevice = 1, .portOutDevice = 3};
            ProgramSettings settings({});  // never read or written here
            QStringList errors;
            const auto showError = [&](const QString& text) { errors << text; };
            auto& dialog =
                *new frmMIDISetup({input, output, setup, settings, showError, {}, {}, {}});
            // A long device name shows whole on hovering, and the open list is wide enough.
            auto& list = *dialog.inputList();
            QCOMPARE(list.itemData(1, Qt::ToolTipRole).toString(), "#1: " + longName);
            QVERIFY(list.view()->minimumWidth() > list.fontMetrics().horizontalAdvance(longName));
            list.setCurrentIndex(c.input);
            dialog.outputList()->setCurrentIndex(c.output);
            click(dialog, c.button);
            QCOMPARE(errors, c.said.isEmpty() ? QStringList() : QStringList{c.said});
            QCOMPARE(
                QString::asprintf("%d %d %d %d %d %d", setup.midiConfigured,
                                  setup.midiSetupCancelled, setup.portInDevice, setup.portOutDevice,
                                  settings.midiInDevice(), settings.midiOutDevice()),
                QString::fromLatin1(c.outcome));
        }
    }

    // The start screen shows which way in has the keyboard, and Enter takes that way.
    void startScreenShowsItsFocusAndTakesEnter() {
        frmChoice choice;
        QSignalSpy started(&choice, &frmChoice::startRequested);
        choice.show();
        QVERIFY(QTest::qWaitForWindowActive(&choice));
        auto* load = choice.findChild<QAbstractButton*>(u"lblLoad"_s);
        auto* wizard = choice.findChild<QAbstractButton*>(u"lblWizard"_s);
        QVERIFY(load->hasFocus());
        const QImage focused = load->grab().toImage();
        wizard->setFocus(Qt::OtherFocusReason);
        QVERIFY(load->grab().toImage() != focused);
        QTest::keyClick(wizard, Qt::Key_Return);
        load->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(load, Qt::Key_Enter);
        QCOMPARE(started.size(), 2);
        QCOMPARE(started.at(0).at(0).toString(), u"New"_s);
        QCOMPARE(started.at(1).at(0).toString(), u"Load"_s);
    }

    void splashClosesByItselfAfterThreeAndAHalfSeconds() {
        const auto started = QDateTime::currentMSecsSinceEpoch();
        frmSplash splash;
        QSignalSpy finished(&splash, &frmSplash::finished);
        splash.show();
        QVERIFY(finished.wait(5000));
        // Qt lets a coarse timer fire up to 5 % early.
        QVERIFY(QDateTime::currentMSecsSinceEpoch() - started >= frmSplash::kShowMs * 95 / 100);
    }

    void statusWindowSignalsItsClosingAndEmptiesWhenUnloaded() {
        frmStatus status;
        QSignalSpy closed(&status, &frmStatus::closedByUser);
        status.show();
        status.setStatusText(u"Requesting VRX Configuration.."_s);
        click(status, "cmdClose");
        QCOMPARE(closed.count(), 1);
        status.unload();
        QVERIFY(status.statusText().isEmpty());
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::DialogsTest)
#include "dialogs_test.moc"
