// The whole program, offscreen, loading and writing through RtMidi and a JACK server to
// `vrxtool simulate` in a process of its own, on the real clock. Run by scripts/with-jack.
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>

#include "app/app_harness.h"
#include "app/frm_connection_check.h"
#include "files/config_file.h"
#include "model/program_image.h"

namespace vrx::app::testing {

class GuiThroughJack : public QObject {
    Q_OBJECT

private slots:
    void loadEditAndWriteAUnitOnAJackPort() {
        QTemporaryDir folder;
        QProcess unit;
        unit.setWorkingDirectory(folder.path());
        unit.start(
            QStringLiteral(VRX_BIN_DIR "/vrxtool"),
            {u"simulate"_s, u"--midi-api"_s, u"jack"_s, u"--simulator-memory"_s, u"memory"_s});
        QVERIFY(unit.waitForReadyRead(10000));
        const auto ports =
            QRegularExpression(uR"re(listens on "([^"]+)" and answers on "([^"]+)")re"_s)
                .match(QString::fromUtf8(unit.readAllStandardOutput()));
        QVERIFY(ports.hasMatch());

        vrx::testing::RecordingDialogs dialogs;
        QStringList messages;
        AppOptions options;
        options.midiApi = MidiApi::kJack;
        options.executableFolder = options.installPrefix = folder.path().toStdString();
        options.environment.home = folder.path().toStdString();
        options.dialogs = &dialogs;
        options.showMessage = [&](const QString& text) { messages << text; };
        VrxApplication program(std::move(options));
        // The unit's ports by name; the default output that stands for one does not count.
        QString serviceShown;
        answerModal<frmMIDISetup>([&](frmMIDISetup& dialog) {
            serviceShown = dialog.findChild<QLabel*>(u"lblMidiApi"_s)->text();
            dialog.inputList()->setCurrentIndex(
                dialog.inputList()->findText(u": "_s + ports.captured(2), Qt::MatchEndsWith));
            dialog.outputList()->setCurrentIndex(
                dialog.outputList()->findText(u": "_s + ports.captured(1), Qt::MatchEndsWith));
            pressOk(dialog);
        });
        answerModal<frmPrompt>(pressOk);
        program.start();
        QTest::keyClick(program.splash(), Qt::Key_Space);
        click(*program.startScreen(), "lblWizard");
        const auto resultShown = [&] { return program.link()->commState() == kStateResultShown; };
        QVERIFY(QTest::qWaitFor(resultShown, 20000));
        auto& window = *program.mainWindow();
        QCOMPARE(window.shownTitle(), u"VRXConfig - Editing Program Data #1"_s);
        QCOMPARE(serviceShown, u"MIDI service: JACK"_s);

        window.applyUserEdit(PinEdit{42, PinField::Function, kTq450Cancel});
        const auto edited = window.programData();
        QTest::qWait(2500);  // the status window of the load closes
        answerModal<frmPrompt>(pressOk);
        window.findChild<QAction*>(u"mnuWrite"_s)->trigger();
        auto& status = *program.statusWindow();
        QVERIFY(QTest::qWaitFor(
            [&] { return status.statusText().contains(u"Done.\r\nVerifying... ok"_s); }, 30000));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));

        // The unit on the other side of the port holds the edited program.
        const auto stored =
            readConfigFile((folder.path() + u"/memory/program-001.vrx"_s).toStdString());
        const auto* image = std::get_if<Bytes>(&stored);
        QVERIFY(image != nullptr);
        auto held = edited;  // every field but the program number comes from the file
        QVERIFY(decodeProgramData(*image, held));
        QVERIFY(held.pins == edited.pins);
        QVERIFY(held == window.programData());

        // Options > Test MIDI Connection... on the same ports, and the link's exchanges
        // work as before afterwards.
        QVERIFY(QTest::qWaitFor([&] { return !program.link()->unitOperationInProgress(); }, 10000));
        QString verdict;
        answerModal<frmConnectionCheck>([&](frmConnectionCheck& dialog) {
            auto* poll = new QTimer(&dialog);
            QObject::connect(poll, &QTimer::timeout, &dialog, [&verdict, &dialog] {
                if (dialog.finished()) {
                    verdict = dialog.shownText();
                    dialog.reject();
                }
            });
            poll->start(50);
        });
        window.findChild<QAction*>(u"mnuTestMidi"_s)->trigger();
        QVERIFY2(verdict.endsWith(u"The connection is good: every answer came whole, once."_s),
                 qPrintable(verdict));
        QVERIFY(verdict.contains(u" ("_s + ports.captured(2) + u") and MIDI Out #"_s));
        answerModal<frmPrompt>(pressOk);
        emit window.loadFromDeviceRequested();
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         return status.statusText().endsWith(
                             u"Loading Program Data from VRX...\r\nDone."_s);
                     },
                     20000),
                 qPrintable(status.statusText()));
        unit.terminate();
        QVERIFY(unit.waitForFinished(5000));
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::GuiThroughJack)
#include "gui_jack_test.moc"
