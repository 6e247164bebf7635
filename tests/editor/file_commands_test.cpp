#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QToolBar>

#include <functional>
#include <optional>

#include "editor_bench.h"

namespace vrx::testing {

class FileCommandsTest : public QObject {
    Q_OBJECT

    EditorBench bench_;
    RecordingDialogs& dialogs_ = bench_.dialogs;

    void load(MainWindow& window, const QString& name) {
        dialogs_.openAnswers << bench_.path(name);
        window.loadProgramDataFile();
    }
    bool save(MainWindow& window, const QString& name) {
        dialogs_.saveAnswers << bench_.path(name);
        return window.saveProgramDataFile();
    }
    QByteArray file(const QString& name) const { return readAll(bench_.path(name)); }
    static void clickToolbar(MainWindow& window, const QString& key) {
        auto* toolbar = named<QToolBar>(window, "tbrMain");
        QTest::mouseClick(toolbar->widgetForAction(named(window, "tbrMain_" + key)),
                          Qt::LeftButton);
    }

private slots:
    void choicesMadeInTheWindowAreWhatTheFileHoldsAndShowAgain() {
        auto window = bench_.makeWindow();
        const std::pair<QString, int> choices[] = {
            {"inputKeyboard_0", 2},        {"analogInput_1", 1},
            {"cboMidiController_1", 1},    {"transposeInput_9", 79},  // the list runs from +91 down
            {"cboTuningInput", 5},         {"cboArchiveAnalogInput_0", 5},
            {"cboArchiveAnalogInput_1", 7}};
        for (const auto& [name, index] : choices) {
            named<QComboBox>(*window, name)->setCurrentIndex(index);
        }
        named<QCheckBox>(*window, "chkTuning_2")->setChecked(true);
        QVERIFY(named<QComboBox>(*window, "cboMidiController_1")->isEnabled());
        ProgramData expected;
        expected.channels[0].inputKeyboard = 2;
        expected.channels[1] = {0, 1, 1, -36};
        expected.channels[9].keyOffset = 12;
        expected.tuningInput = 5;
        expected.archiveAnalogInput = 5;
        expected.archiveMidiChannel = 7;
        expected.tuningOptions[2] = true;
        // A name beyond ASCII, as organ builders name their files.
        const QString name = QStringLiteral("Orgel Kirchenbänke ø.vrx");
        QVERIFY(save(*window, name));
        QCOMPARE(file(name), fileOf(expected));

        // Opened again, the window shows the same choices and saves the same bytes.
        auto again = bench_.makeWindow();
        load(*again, name);
        for (const auto& [name, index] : choices) {
            QCOMPARE(named<QComboBox>(*again, name)->currentIndex(), index);
        }
        QVERIFY(named<QCheckBox>(*again, "chkTuning_2")->isChecked());
        // Channels are numbered from 1, start at -36, and offer a controller only with an
        // analog input.
        QCOMPARE(named<QLabel>(*again, "midiChannel_15")->text(), QString("16"));
        QCOMPARE(named<QComboBox>(*again, "transposeInput_0")->currentText(), QString("-36"));
        QVERIFY(!named<QComboBox>(*again, "cboMidiController_0")->isEnabled());
        QVERIFY(save(*again, "again.vrx"));
        QCOMPARE(file("again.vrx"), file(name));
    }

    // Every command that saves, writes or replaces the configuration takes a choice still
    // floating in the grid first, from the menu and the toolbar alike; the title's "*"
    // follows what was saved.
    void aFloatingChoiceIsPartOfWhatEveryCommandSavesOrWrites() {
        const auto byMenu = [](MainWindow& window, const QString& name) {
            named(window, name)->trigger();
        };
        const auto byToolbar = [](MainWindow& window, const QString& key) {
            clickToolbar(window, key);
        };
        const struct {
            std::function<void(MainWindow&, const QString&)> run;
            QString save, write, load;
        } ways[] = {{byMenu, "mnuSave", "mnuWrite", "mnuLoad"},
                    {byToolbar, "save", "write", "load"}};
        ProgramData expected;
        expected.pins[4] = {kNoteOnOff, 0, 0};
        for (const auto& way : ways) {
            auto window = bench_.makeWindow();
            window->decodeProgramData(encodeProgramData(ProgramData{}));
            PinGrid* grid = showPinGrid(*window);
            pickInCell(*grid, 5, PinGrid::kFunctionColumn, kNoteOnOff);
            dialogs_.saveAnswers << bench_.path("saved.vrx");
            way.run(*window, way.save);
            QCOMPARE(file("saved.vrx"), fileOf(expected));
            QCOMPARE(window->shownTitle(), QString("VRXConfig - Editing File: saved.vrx"));

            pickInCell(*grid, 6, PinGrid::kFunctionColumn, kNoteOnOff);
            std::optional<ProgramData> written;
            connect(window.get(), &MainWindow::writeToDeviceRequested, this,
                    [&] { written = window->programData(); });
            way.run(*window, way.write);
            QVERIFY(written && written->pins[5].pinFunction == kNoteOnOff);

            // Before another file replaces it, the floating choice is an unsaved change
            // the user is asked about.
            pickInCell(*grid, 7, PinGrid::kFunctionColumn, kMidiStop);
            dialogs_.yesNoCancelAnswer = EditorDialogs::Answer::Cancel;
            dialogs_.openAnswers << bench_.path("saved.vrx");
            way.run(*window, way.load);
            QCOMPARE(dialogs_.count("yesnocancel"), 1);
            QCOMPARE(window->programData().pins[6].pinFunction, int(kMidiStop));
            QVERIFY(window->shownTitle().endsWith('*'));
        }
    }

    // A file dropped on the window or chosen from the recent files opens; a file the program
    // cannot open is refused at the drop, and greyed in the menu once it has gone.
    void droppedAndRecentFilesOpenUnlessTheyCannot() {
        ProgramData organ;
        organ.pins[2] = {kNoteOnOff, 1, 61};
        organ = *decodeProgramData(encodeProgramData(organ));  // as a file gives it back
        writeAll(bench_.path("organ.vrx"), fileOf(organ));
        writeAll(bench_.path("notes.txt"), fileOf(organ));
        auto window = bench_.makeWindow();
        const auto drop = [&](const QString& name) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(bench_.path(name))});
            QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(window.get(), &enter);
            QDropEvent dropped({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(window.get(), &dropped);
            QCoreApplication::processEvents();
            return enter.isAccepted();
        };
        QVERIFY(!drop("notes.txt"));
        QVERIFY(window->programData() == ProgramData{});
        QVERIFY(drop("organ.vrx"));
        QVERIFY(window->programData() == organ);
        QCOMPARE(window->shownTitle(), QString("VRXConfig - Editing File: organ.vrx"));

        window->decodeProgramData(encodeProgramData(ProgramData{}));
        window->setRecentFiles({bench_.path("organ.vrx"), bench_.path("gone.vrx")});
        const auto entries = window->recentFilesMenu()->actions();
        QCOMPARE(entries.at(1)->isEnabled(), false);
        entries.at(0)->trigger();
        QVERIFY(window->programData() == organ);
        QFile::remove(bench_.path("organ.vrx"));
        emit window->recentFilesMenu()->aboutToShow();
        QCOMPARE(entries.at(0)->isEnabled(), false);
    }

    void fileDialogsRememberTheFolderAndAFailureKeepsTheEditorAsItWas() {
        ProgramData shown;
        shown.pins[0] = {kNoteOnOff, 2, 60};
        auto window = bench_.makeWindow();
        window->decodeProgramData(encodeProgramData(shown));
        window->setLastDirectory("/start/");
        window->loadProgramDataFile();  // cancelled
        window->setFirmwareVersionByte(kFormatByteDefault);
        QVERIFY(save(*window, "first.vrx"));
        QCOMPARE(file("first.vrx").left(3), QByteArray("13 "));

        writeAll(bench_.path("no data.vrx"), "ff 00 1c\r\nhello\r\n");
        QSignalSpy finished(window.get(), &MainWindow::fileLoadFinished);
        const std::pair<const char*, const char*> refused[] = {
            {"no data.vrx",
             "the file is too short: no line holds the 779 characters of a configuration"},
            {"missing.vrx", "No such file or directory"},
        };
        for (const auto& [name, reason] : refused) {
            load(*window, name);
            QCOMPARE(finished.takeFirst(), (QVariantList{0, name, reason}));
        }
        QVERIFY(!save(*window, "no such folder/organ.vrx"));
        QCOMPARE(window->programData().pins[0], shown.pins[0]);
        QCOMPARE(window->shownTitle(), QString("VRXConfig - Editing File: first.vrx"));

        const QString folder = bench_.folder.path() + "/";
        QStringList asked;
        for (const auto& a : dialogs_.asked) {
            asked << a.title + " @ " + a.folder;
            QVERIFY(a.kind == "warning" || a.text == "Tallowmere VRXConfig files (*.vrx)");
        }
        const QString opening = "Loading Program Data From File @ ";
        const QString saving = "Save Program Data To File @ ";
        QCOMPARE(asked, (QStringList{opening + "/start/", saving + "/start/", opening + folder,
                                     opening + folder, saving + folder, "File Save Error! @ "}));
        QCOMPARE(dialogs_.asked.last().text,
                 "No such file or directory : " + bench_.path("no such folder/organ.vrx") +
                     "\nThe folder " + bench_.path("no such folder") +
                     " cannot take the file: choose another.");
        QCOMPARE(window->lastDirectory(), bench_.path("no such folder") + "/");
        // Save proposes the file last opened or saved: none after a decode, then first.vrx.
        QCOMPARE(dialogs_.proposedNames, (QStringList{"", "first.vrx"}));
    }
};

}  // namespace vrx::testing

QTEST_MAIN(vrx::testing::FileCommandsTest)
#include "file_commands_test.moc"
