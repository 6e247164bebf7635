#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "editor_bench.h"

using vrx::MainWindow;
using namespace vrx::testing;

class MainWindowTest : public QObject {
    Q_OBJECT

    EditorBench bench_;
    RecordingDialogs& dialogs_ = bench_.dialogs;

    std::unique_ptr<MainWindow> makeWindow(QStringList pictureFolders = {VRX_RESOURCE_DIR}) {
        return bench_.makeWindow(pictureFolders);
    }
    static QAction* action(const MainWindow& window, const QString& name) {
        return named(window, name);
    }
    static QStringList enabledState(const MainWindow& window) {
        const QStringList menu = {"mnuLoad", "mnuSave", "mnuLoadOrgan", "mnuWrite"};
        const QStringList toolbar = {"tbrMain_load", "tbrMain_save", "tbrMain_loado",
                                     "tbrMain_write"};
        QStringList state;
        for (int slot = 0; slot < MainWindow::kCommandSlots; ++slot) {
            state << QStringLiteral("%1/%2")
                         .arg(action(window, menu[slot])->isEnabled())
                         .arg(action(window, toolbar[slot])->isEnabled());
        }
        return state;
    }

private slots:
    void commandSlotsMoveMenuAndToolbarTogether() {
        auto window = makeWindow();
        const QStringList initial = {"1/1", "0/0", "1/1", "0/0"};
        QCOMPARE(enabledState(*window), initial);
        QVERIFY(!window->decodeProgramData(vrx::Bytes(100, 0)).ok());
        QCOMPARE(enabledState(*window), initial);
        QCOMPARE(window->programData(), vrx::ProgramData{});
        QVERIFY(window->decodeProgramData(vrx::encodeProgramData(vrx::ProgramData{})).ok());
        QCOMPARE(enabledState(*window), (QStringList{"1/1", "1/1", "1/1", "1/1"}));
        QCOMPARE(window->shownTitle(), QString("VRXConfig by Tallowmere"));
        // Slots move menu and toolbar together; unknown slots are ignored.
        window->setInitialCommandState();
        window->setCommandEnabled(4, true);
        window->setCommandEnabled(-1, true);
        QCOMPARE(enabledState(*window), (QStringList{"1/1", "0/0", "1/1", "0/0"}));
        window->setCommandEnabled(MainWindow::kWriteSlot, true);
        window->setCommandEnabled(MainWindow::kLoadSlot, false);
        QCOMPARE(enabledState(*window), (QStringList{"0/0", "0/0", "1/1", "1/1"}));
        window->setInitialCommandState();
        QCOMPARE(enabledState(*window), (QStringList{"1/1", "0/0", "1/1", "0/0"}));
    }

    void toolbarPicturesComeFromTheirFilesOrAStandIn() {
        auto window = makeWindow();
        const QImage shown = action(*window, "tbrMain_write")->icon().pixmap(24, 24).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
                 QImage(VRX_RESOURCE_DIR "/write.bmp").convertToFormat(QImage::Format_RGB32));
        // A screen that scales by two gets the picture drawn at twice the size.
        const QPixmap sharp = action(*window, "tbrMain_write")->icon().pixmap(QSize(24, 24), 2.0);
        QImage drawnLarge(VRX_RESOURCE_DIR "/write@2x.bmp");
        drawnLarge.setDevicePixelRatio(2.0);
        QCOMPARE(sharp.toImage().convertToFormat(QImage::Format_RGB32),
                 drawnLarge.convertToFormat(QImage::Format_RGB32));

        QTemporaryDir empty;
        auto without = makeWindow({empty.path()});
        for (const char* key : {"load", "save", "loado", "write", "midi"}) {
            QVERIFY2(!action(*without, QString("tbrMain_") + key)->icon().isNull(), key);
        }
    }

    void commandsReachTheDeviceLinkThroughSignals() {
        auto window = makeWindow();
        window->enableAllCommands();
        QSignalSpy load(window.get(), &MainWindow::loadFromDeviceRequested);
        QSignalSpy write(window.get(), &MainWindow::writeToDeviceRequested);
        QSignalSpy midi(window.get(), &MainWindow::midiSetupRequested);
        action(*window, "mnuLoadOrgan")->trigger();
        action(*window, "tbrMain_loado")->trigger();
        action(*window, "mnuWrite")->trigger();
        action(*window, "tbrMain_write")->trigger();
        action(*window, "mnuMidiSetup")->trigger();
        action(*window, "tbrMain_midi")->trigger();
        window->toolbarButtonClicked("LOADO");  // keys are compared exactly
        QCOMPARE(load.count(), 2);
        QCOMPARE(write.count(), 2);
        QCOMPARE(midi.count(), 2);
    }

    void aboutBoxNamesTheFirmwareOnlyWhenKnown() {
        auto window = makeWindow();
        action(*window, "mnuAbout")->trigger();
        QCOMPARE(dialogs_.count("information"), 1);
        QStringList lines = dialogs_.asked.last().text.split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QString("VRXConfig by Tallowmere "));
        QVERIFY(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+$").match(lines[1]).hasMatch());

        window->setFirmwareVersionText("2.14");
        action(*window, "mnuAbout")->trigger();
        lines = dialogs_.asked.last().text.split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[2], QString("Firmware version: 2.14"));
    }

    void exitAskedNoKeepsTheWindowAndYesClosesIt() {
        auto window = makeWindow();
        window->show();
        QSignalSpy confirmed(window.get(), &MainWindow::exitConfirmed);
        dialogs_.yesNoAnswer = false;
        action(*window, "mnuExit")->trigger();
        QVERIFY(window->isVisible());
        QCOMPARE(dialogs_.asked.last().title, QString("Shutting Down VRXConfig"));
        QCOMPARE(dialogs_.asked.last().text,
                 QString("Are you sure you want to quit? Remember to write changes to the VRX "
                         "to see your changes in action."));
        QVERIFY(!window->close());  // the close button asks the same question
        QCOMPARE(dialogs_.count("yesno"), 2);
        dialogs_.yesNoAnswer = true;
        action(*window, "mnuExit")->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(dialogs_.count("yesno"), 3);
        QCOMPARE(confirmed.count(), 1);
    }

    void startActionRunsOnceOnTheFirstActivation_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("fileDialogs");
        QTest::addColumn<int>("deviceLoads");
        QTest::newRow("Load") << "Load" << 1 << 0;
        QTest::newRow("New") << "New" << 0 << 1;
        QTest::newRow("other") << "load" << 0 << 0;
    }
    void startActionRunsOnceOnTheFirstActivation() {
        QFETCH(QString, action);
        QFETCH(int, fileDialogs);
        QFETCH(int, deviceLoads);
        auto window = makeWindow();
        QSignalSpy loads(window.get(), &MainWindow::loadFromDeviceRequested);
        window->setStartAction(action);
        for (int activation = 0; activation < 2; ++activation) {
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(window.get(), &activate);
            QCoreApplication::processEvents();
        }
        QCOMPARE(dialogs_.count("open"), fileDialogs);
        QCOMPARE(loads.count(), deviceLoads);
        QCOMPARE(window->startAction(), QString());
    }

    void manualGoesToTheAddressInTheSettingsElseToTheUserGuide() {
        struct Case {
            QString address;
            bool online;
            bool handlerOpensIt;
            int documentsOpened;
            int guidesShown;
            int warnings;
        };
        const Case cases[] = {
            {"", true, true, 0, 1, 0},
            {"https://organs.example/vrx.pdf", true, true, 1, 0, 0},
            {"https://organs.example/vrx.pdf", true, false, 1, 1, 1},
            {"https://organs.example/vrx.pdf", false, true, 0, 1, 0},
            {"file:///srv/manuals/vrx.pdf", false, true, 1, 0, 0},
        };
        for (const auto& c : cases) {
            auto window = makeWindow();
            dialogs_.documentOpens = c.handlerOpensIt;
            window->setManualAddress(c.address);
            window->setNetworkCheck([&c] { return c.online; });
            QSignalSpy guides(window.get(), &MainWindow::userGuideRequested);
            action(*window, "mnuViewDocs")->trigger();
            QCOMPARE(dialogs_.opened.size(), c.documentsOpened);
            QCOMPARE(guides.count(), c.guidesShown);
            QCOMPARE(dialogs_.count("warning"), c.warnings);
            if (c.documentsOpened) {
                QCOMPARE(dialogs_.opened[0], QUrl(c.address));
            }
            if (c.warnings) {
                QVERIFY(dialogs_.asked[0].text.contains(c.address));
            }
        }
    }

    void clickingTheProgramNumberLabelFocusesItsBox() {
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->findChild<QTabWidget*>("tabScope")->setFocus();
        auto* label = window->findChild<QLabel*>("lblMemory");
        QCOMPARE(label->text(), QString("Program Number:"));
        QTest::mouseClick(label, Qt::LeftButton);
        QVERIFY(window->findChild<QLineEdit*>("memory")->hasFocus());
    }

    void theWindowFitsAt1024By768() {
        auto window = makeWindow();
        QVERIFY(window->minimumSizeHint().width() <= 1024);
        QVERIFY(window->minimumSizeHint().height() <= 768);
        QVERIFY(window->minimumWidth() <= 1024 && window->minimumHeight() <= 768);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
