#include <QCheckBox>
#include <QClipboard>
#include <QImage>

#include "editor/channel_panel.h"
#include "editor/general_settings_panel.h"
#include "editor/qt_editor_dialogs.h"
#include "editor_bench.h"
#include "model/row_clipboard.h"

namespace vrx::testing {

class MainWindowTest : public QObject {
    Q_OBJECT

    EditorBench bench_;
    RecordingDialogs& dialogs_ = bench_.dialogs;

    // Whether Open, Save, Load from the unit and Write are enabled, in the menu and on the
    // toolbar.
    static QString enabledState(const MainWindow& window) {
        QString state;
        for (const char* name : {"mnuLoad", "tbrMain_load", "mnuSave", "tbrMain_save",
                                 "mnuLoadOrgan", "tbrMain_loado", "mnuWrite", "tbrMain_write"}) {
            state += named(window, name)->isEnabled() ? '1' : '0';
        }
        return state;
    }

private slots:
    // Pictures come from their files, or a stand-in; Save and Write wait for a configuration.
    void aNewWindowShowsItsPicturesAndOpensCommandsWithAConfiguration() {
        const auto rgb = [](const QImage& image) {
            return image.convertToFormat(QImage::Format_RGB32);
        };
        const auto shown = [&](const MainWindow& window, qreal scale) {
            return rgb(
                named(window, "tbrMain_write")->icon().pixmap(QSize(24, 24), scale).toImage());
        };
        auto window = bench_.makeEmptyWindow();
        QCOMPARE(shown(*window, 1), rgb(QImage(VRX_RESOURCE_DIR "/write.bmp")));
        // A screen that scales by two gets the picture drawn at twice the size.
        QCOMPARE(shown(*window, 2), rgb(QImage(VRX_RESOURCE_DIR "/write@2x.bmp")));
        QTemporaryDir empty;
        QVERIFY(!shown(*bench_.makeWindow({empty.path()}), 1).isNull());

        // Until a configuration is there, nothing could save an edit: the views and Paste
        // wait for one.
        const auto viewsEnabled = [&] {
            QString state;
            for (const QWidget* view :
                 {static_cast<QWidget*>(window->findChild<ChannelPanel*>()),
                  static_cast<QWidget*>(window->findChild<PinGrid*>()),
                  static_cast<QWidget*>(window->findChild<GeneralSettingsPanel*>())}) {
                state += view->isEnabled() ? '1' : '0';
            }
            return state;
        };
        QCOMPARE(enabledState(*window), QString("11001100"));
        QCOMPARE(viewsEnabled(), QString("000"));
        ProgramData swell;
        swell.channels[0].inputKeyboard = 1;
        QApplication::clipboard()->setText(QString::fromStdString(copyChannelRows(swell, {0})));
        window->findChild<ChannelPanel*>()->selectChannels({0});
        named(*window, "mnuPasteTab")->trigger();
        QVERIFY(window->programData() == ProgramData{} && !window->hasUnsavedChanges());
        QVERIFY(!window->decodeProgramData(Bytes(100, 0)).ok());
        QCOMPARE(enabledState(*window), QString("11001100"));
        QCOMPARE(viewsEnabled(), QString("000"));
        QVERIFY(window->decodeProgramData(encodeProgramData(ProgramData{})).ok());
        QCOMPARE(enabledState(*window), QString("11111111"));
        QCOMPARE(viewsEnabled(), QString("111"));
        // Copy and Paste only where there are rows: not on General Settings.
        for (const auto& [tab, enabled] : {std::pair{0, true}, {1, true}, {2, false}}) {
            named<QTabWidget>(*window, "tabScope")->setCurrentIndex(tab);
            QCOMPARE(named(*window, "mnuCopyTab")->isEnabled(), enabled);
            QCOMPARE(named(*window, "mnuPasteTab")->isEnabled(), enabled);
        }

        // File › New gives a configuration of the initial values to edit and save.
        window = bench_.makeEmptyWindow();
        named(*window, "mnuNew")->trigger();
        QCOMPARE(enabledState(*window), QString("11111111"));
        QCOMPARE(viewsEnabled(), QString("111"));
        QVERIFY(window->programData() == ProgramData{} && !window->hasUnsavedChanges());
    }

    void aboutNamesTheFirmwareOnceKnownAndExitAsksFirst() {
        auto window = bench_.makeWindow();
        window->show();
        named(*window, "mnuAbout")->trigger();
        window->setFirmwareVersionText("2.14");
        named(*window, "mnuAbout")->trigger();
        QVERIFY(!dialogs_.asked[0].text.contains("Firmware"));
        const QRegularExpression about(
            "^VRXConfig by Tallowmere \nVersion \\d+\\.\\d+\\.\\d+\n"
            "Firmware version: 2.14\n");
        QVERIFY(about.match(dialogs_.asked[1].text).hasMatch());

        QSignalSpy confirmed(window.get(), &MainWindow::exitConfirmed);
        named(*window, "mnuExit")->trigger();
        QVERIFY(!window->close());  // the close button asks the same question
        dialogs_.yesNoAnswer = true;
        named(*window, "mnuExit")->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(confirmed.count(), 1);
        QCOMPARE(dialogs_.asked[3].title + ": " + dialogs_.asked[3].text,
                 QString("Shutting Down VRXConfig: Are you sure you want to quit? Remember to "
                         "write changes to the VRX to see your changes in action."));
    }

    // With unsaved changes, leaving offers Save / Discard / Cancel before the exit
    // question; without, only the exit question is asked.
    void exitOffersToSaveUnsavedChangesFirst() {
        using Answer = EditorDialogs::Answer;
        const struct {
            bool unsaved;
            Answer saveAnswer;
            bool exitAnswer;
            QStringList asked;
            bool closed;
            bool saved;
        } cases[] = {
            {false, Answer::Cancel, true, {"yesno"}, true, false},
            {true, Answer::Yes, true, {"yesnocancel", "save", "yesno"}, true, true},
            {true, Answer::Yes, false, {"yesnocancel", "save", "yesno"}, false, true},
            {true, Answer::No, true, {"yesnocancel", "yesno"}, true, false},
            {true, Answer::Cancel, true, {"yesnocancel"}, false, false},
        };
        for (const bool byCloseButton : {false, true}) {
            for (const auto& c : cases) {
                auto window = bench_.makeWindow();
                window->decodeProgramData(encodeProgramData(ProgramData{}));
                window->show();
                if (c.unsaved) {
                    named<QCheckBox>(*window, "chkTuning_1")->setChecked(true);
                }
                dialogs_.yesNoCancelAnswer = c.saveAnswer;
                dialogs_.yesNoAnswer = c.exitAnswer;
                const QString path = bench_.path("exit.vrx");
                QFile::remove(path);
                dialogs_.saveAnswers << path;
                if (byCloseButton) {
                    window->close();
                } else {
                    named(*window, "mnuExit")->trigger();
                }
                QStringList asked;
                for (const auto& question : dialogs_.asked) {
                    asked << question.kind;
                }
                QCOMPARE(asked, c.asked);
                QCOMPARE(window->isVisible(), !c.closed);
                QCOMPARE(QFileInfo::exists(path), c.saved);
                QCOMPARE(window->hasUnsavedChanges(), c.unsaved && !c.saved);
            }
        }
    }

    void startActionRunsOnceOnTheFirstActivation() {
        auto window = bench_.makeWindow();
        QSignalSpy loads(window.get(), &MainWindow::loadFromDeviceRequested);
        for (const char* action : {"Load", "New", "x"}) {
            window->setStartAction(action);
            for (int activation = 0; activation < 2; ++activation) {
                QEvent activate(QEvent::WindowActivate);
                QCoreApplication::sendEvent(window.get(), &activate);
                QCoreApplication::processEvents();
            }
        }
        QCOMPARE(dialogs_.count("open"), 1);
        QCOMPARE(loads.count(), 1);
    }

    void manualGoesToTheAddressInTheSettingsElseToTheUserGuide() {
        const QString web = "https://organs.example/vrx.pdf";
        // Address, network up, a handler opens it; then the address opened, user guides
        // shown and warnings.
        const std::tuple<QString, bool, bool, QString, int, int> cases[] = {
            {"", true, true, "", 1, 0},
            {web, true, true, web, 0, 0},
            {web, true, false, web, 1, 1},
            {web, false, true, "", 1, 0},
            {"file:///srv/manuals/vrx.pdf", false, true, "file:///srv/manuals/vrx.pdf", 0, 0}};
        for (const auto& [address, online, opens, opened, guidesShown, warnings] : cases) {
            auto window = bench_.makeWindow();
            dialogs_.documentOpens = opens;
            window->setManualAddress(address);
            window->setNetworkCheck([online] { return online; });
            QSignalSpy guides(window.get(), &MainWindow::userGuideRequested);
            named(*window, "mnuViewDocs")->trigger();
            QCOMPARE(dialogs_.opened.value(0).toString(), opened);
            QCOMPARE(guides.count(), guidesShown);
            QCOMPARE(dialogs_.count("warning"), warnings);
        }
    }

    // Without a program for the document the desktop's opener fails only in its exit
    // code; that, or no opener at all, counts as not opened.
    void theDesktopsOpenerSaysWhetherTheDocumentOpened() {
        const std::pair<QString, bool> openers[] = {
            {"true", true}, {"false", false}, {"/no/such/opener", false}};
        for (const auto& [opener, opened] : openers) {
            QCOMPARE(QtEditorDialogs(opener).openDocument(QUrl("https://organs.example/vrx.pdf")),
                     opened);
        }
    }
};

}  // namespace vrx::testing

QTEST_MAIN(vrx::testing::MainWindowTest)
#include "main_window_test.moc"
