#include <QImage>

#include "editor_bench.h"

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
        auto window = bench_.makeWindow();
        QCOMPARE(shown(*window, 1), rgb(QImage(VRX_RESOURCE_DIR "/write.bmp")));
        // A screen that scales by two gets the picture drawn at twice the size.
        QCOMPARE(shown(*window, 2), rgb(QImage(VRX_RESOURCE_DIR "/write@2x.bmp")));
        QTemporaryDir empty;
        QVERIFY(!shown(*bench_.makeWindow({empty.path()}), 1).isNull());

        QCOMPARE(enabledState(*window), QString("11001100"));
        QVERIFY(!window->decodeProgramData(Bytes(100, 0)).ok());
        QCOMPARE(enabledState(*window), QString("11001100"));
        QVERIFY(window->decodeProgramData(encodeProgramData(ProgramData{})).ok());
        QCOMPARE(enabledState(*window), QString("11111111"));
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
};

}  // namespace vrx::testing

QTEST_MAIN(vrx::testing::MainWindowTest)
#include "main_window_test.moc"
