#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include <random>

#include "editor_bench.h"
#include "files/config_file.h"

using vrx::MainWindow;
using vrx::ProgramData;
using namespace vrx::testing;

namespace {

constexpr int kInstruments = 128;

QByteArray fileOf(const ProgramData& data) {
    return QByteArray::fromStdString(vrx::configFileText(vrx::encodeProgramData(data)));
}

// A configuration with every field drawn at random from its range. Channels played by a
// "MIDI Stop" pin have no keyboard, as the editor's check leaves them after a load.
ProgramData randomConfiguration(unsigned seed) {
    std::mt19937 random(seed);
    const auto below = [&](int n) { return static_cast<int>(random() % unsigned(n)); };
    ProgramData data;
    for (auto& channel : data.channels) {
        channel = {below(5), below(5), below(2), vrx::kKeyOffsetMin + below(128)};
    }
    data.archiveAnalogInput = below(6);
    data.archiveMidiChannel = below(16);
    data.tuningInput = below(6);
    for (auto& option : data.tuningOptions) {
        option = below(2) == 1;
    }
    const auto instruments = numberedInstruments(kInstruments);
    for (auto& pin : data.pins) {
        const int function = below(vrx::kPinFunctionCount);
        const auto choices = vrx::settingNames(function, instruments);
        pin = choices.empty() ? vrx::PinAssignment{function, 0, 0}
                              : vrx::PinAssignment{function, below(16),
                                                   below(static_cast<int>(choices.size()))};
    }
    for (const auto& pin : data.pins) {
        if (pin.pinFunction == vrx::kMidiStop) {
            data.channels[pin.pinMidiChannel].inputKeyboard = 0;
        }
    }
    return data;
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

    EditorBench bench_;
    RecordingDialogs& dialogs_ = bench_.dialogs;

    std::unique_ptr<MainWindow> makeWindow() { return bench_.makeWindow(); }
    QString path(const QString& name) const { return bench_.path(name); }
    void load(MainWindow& window, const QString& file) {
        dialogs_.openAnswers << file;
        window.loadProgramDataFile();
    }
    void save(MainWindow& window, const QString& file) {
        dialogs_.saveAnswers << file;
        window.saveProgramDataFile();
    }
    static QComboBox* combo(const MainWindow& window, const QString& name) {
        return window.findChild<QComboBox*>(name);
    }

private slots:
    void aLoadedFileIsShownAndSavedAgainByteForByte_data() {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed = 1; seed <= 8; ++seed) {
            QTest::newRow(qPrintable(QStringLiteral("configuration %1").arg(seed))) << seed;
        }
    }
    void aLoadedFileIsShownAndSavedAgainByteForByte() {
        QFETCH(unsigned, seed);
        const ProgramData data = randomConfiguration(seed);
        writeAll(path("in.vrx"), fileOf(data));
        auto window = makeWindow();
        load(*window, path("in.vrx"));

        const auto instruments = numberedInstruments(kInstruments);
        for (int c = 0; c < vrx::kMidiChannels; ++c) {
            const auto& channel = window->programData().channels[c];
            QCOMPARE(combo(*window, QStringLiteral("inputKeyboard_%1").arg(c))->currentIndex(),
                     channel.inputKeyboard);
            QCOMPARE(combo(*window, QStringLiteral("analogInput_%1").arg(c))->currentIndex(),
                     channel.analogInput);
            QCOMPARE(combo(*window, QStringLiteral("cboMidiController_%1").arg(c))->currentIndex(),
                     channel.controllerType);
            QCOMPARE(combo(*window, QStringLiteral("transposeInput_%1").arg(c))->currentText(),
                     QString::fromStdString(vrx::keyOffsetText(channel.keyOffset)));
        }
        QCOMPARE(combo(*window, "cboTuningInput")->currentIndex(), data.tuningInput);
        QCOMPARE(combo(*window, "cboArchiveAnalogInput_0")->currentIndex(),
                 data.archiveAnalogInput);
        QCOMPARE(combo(*window, "cboArchiveAnalogInput_1")->currentIndex(),
                 data.archiveMidiChannel);
        for (int k = 0; k < vrx::kTuningOptions; ++k) {
            QCOMPARE(
                window->findChild<QCheckBox*>(QStringLiteral("chkTuning_%1").arg(k))->isChecked(),
                data.tuningOptions[k]);
        }
        for (int r = 1; r <= vrx::kPinRows; ++r) {
            const auto& pin = window->programData().pins[r - 1];
            QCOMPARE(cellText(*window, r, 4),
                     QString::fromStdString(vrx::functionNames()[pin.pinFunction]));
            QCOMPARE(cellText(*window, r, 6),
                     QString::fromStdString(
                         vrx::settingText(pin.pinFunction, pin.pinSubFunction, instruments)));
        }

        save(*window, path("out.vrx"));
        QCOMPARE(readAll(path("out.vrx")).size(), 782);
        QCOMPARE(readAll(path("out.vrx")), readAll(path("in.vrx")));
    }

    void choicesMadeInTheWindowAreWhatTheFileHolds() {
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        combo(*window, "inputKeyboard_0")->setCurrentIndex(2);
        combo(*window, "analogInput_1")->setCurrentIndex(3);
        combo(*window, "cboMidiController_1")->setCurrentIndex(1);
        combo(*window, "transposeInput_9")->setCurrentIndex(79);  // the list runs from +91 down
        combo(*window, "transposeInput_10")->setCurrentIndex(0);
        combo(*window, "cboTuningInput")->setCurrentIndex(5);
        combo(*window, "cboArchiveAnalogInput_0")->setCurrentIndex(5);
        combo(*window, "cboArchiveAnalogInput_1")->setCurrentIndex(7);
        window->findChild<QCheckBox*>("chkTuning_2")->setChecked(true);
        const auto choose = [&](int row, int column, int index) {
            editPin(*window, row, column, index);
        };
        choose(1, vrx::PinGrid::kFunctionColumn, vrx::kCommonAhlborn);
        choose(1, vrx::PinGrid::kSettingColumn, 64);
        choose(105, vrx::PinGrid::kFunctionColumn, vrx::kTq450Cancel);
        choose(70, vrx::PinGrid::kFunctionColumn, vrx::kNoteOnOff);
        choose(70, vrx::PinGrid::kChannelColumn, 15);
        choose(70, vrx::PinGrid::kSettingColumn, 127);

        ProgramData expected;
        expected.channels[0].inputKeyboard = 2;
        expected.channels[1].analogInput = 3;
        expected.channels[1].controllerType = 1;
        expected.channels[9].keyOffset = 12;
        expected.channels[10].keyOffset = 91;
        expected.tuningInput = 5;
        expected.archiveAnalogInput = 5;
        expected.archiveMidiChannel = 7;
        expected.tuningOptions[2] = true;
        expected.pins[0] = {vrx::kCommonAhlborn, 0, 64};
        expected.pins[104] = {vrx::kTq450Cancel, 0, 0};
        expected.pins[69] = {vrx::kNoteOnOff, 15, 127};
        save(*window, path("chosen.vrx"));
        QCOMPARE(readAll(path("chosen.vrx")), fileOf(expected));
    }

    void menuSaveTakesTheFloatingChoiceButTheToolbarSaveDoesNot() {
        auto window = makeWindow();
        window->enableAllCommands();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* grid = gridOf(*window);
        pickInCell(*grid, 5, vrx::PinGrid::kFunctionColumn, vrx::kNoteOnOff);

        auto* toolbar = window->findChild<QToolBar*>("tbrMain");
        auto* saveButton = toolbar->widgetForAction(window->findChild<QAction*>("tbrMain_save"));
        dialogs_.saveAnswers << path("toolbar.vrx");
        QTest::mouseClick(saveButton, Qt::LeftButton);
        QCOMPARE(dialogs_.count("save"), 1);
        QCOMPARE(readAll(path("toolbar.vrx")), fileOf(ProgramData{}));
        QCOMPARE(grid->editState(), int(vrx::PinGrid::kFunctionColumn));

        dialogs_.saveAnswers << path("menu.vrx");
        window->findChild<QAction*>("mnuSave")->trigger();
        ProgramData expected;
        expected.pins[4] = {vrx::kNoteOnOff, 0, 0};
        QCOMPARE(readAll(path("menu.vrx")), fileOf(expected));
        QCOMPARE(grid->editState(), vrx::PinGrid::kNoEdit);
    }

    void aChoiceLeftOpenInTheGridDoesNotFollowIntoTheOpenedFile() {
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* grid = gridOf(*window);
        pickInCell(*grid, 5, vrx::PinGrid::kFunctionColumn, vrx::kNoteOnOff);

        const auto image = vrx::encodeProgramData(randomConfiguration(3));
        ProgramData opened;
        QVERIFY(vrx::decodeProgramData(image, opened).ok());
        writeAll(path("opened.vrx"), QByteArray::fromStdString(vrx::configFileText(image)));
        dialogs_.openAnswers << path("opened.vrx");
        auto* toolbar = window->findChild<QToolBar*>("tbrMain");
        QTest::mouseClick(toolbar->widgetForAction(window->findChild<QAction*>("tbrMain_load")),
                          Qt::LeftButton);
        QCOMPARE(grid->editState(), vrx::PinGrid::kNoEdit);
        window->commitPendingEdit();
        QCOMPARE(window->programData(), opened);
        QCOMPARE(cellText(*window, 5, 4),
                 QString::fromStdString(vrx::functionNames()[opened.pins[4].pinFunction]));
    }

    void aFileWithoutAConfigurationLeavesTheEditorAsItWas_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("exists");
        QByteArray notHex = fileOf(randomConfiguration(99));
        notHex.replace(30, 2, "zz");
        QTest::newRow("no data line") << QByteArray("ff 00 1c\r\nhello\r\n") << true;
        QTest::newRow("not hexadecimal") << notHex << true;
        QTest::newRow("missing file") << QByteArray() << false;
    }
    void aFileWithoutAConfigurationLeavesTheEditorAsItWas() {
        QFETCH(QByteArray, contents);
        QFETCH(bool, exists);
        auto window = makeWindow();
        window->decodeProgramData(vrx::encodeProgramData(randomConfiguration(7)));
        window->checkMidiStopChannels();
        const ProgramData before = window->programData();
        if (exists) {
            writeAll(path("bad.vrx"), contents);
        } else {
            QFile::remove(path("bad.vrx"));
        }
        QSignalSpy finished(window.get(), &MainWindow::fileLoadFinished);
        load(*window, path("bad.vrx"));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished[0][0].toInt(), 0);
        QCOMPARE(finished[0][1].toString(), QString("bad.vrx"));
        QCOMPARE(window->programData(), before);
        QCOMPARE(cellText(*window, 1, 4),
                 QString::fromStdString(vrx::functionNames()[before.pins[0].pinFunction]));
        QCOMPARE(window->lastDirectory(), bench_.folder.path() + "/");
    }

    void cancelledDialogsChangeNothing() {
        auto window = makeWindow();
        window->setLastDirectory("/somewhere/");
        QSignalSpy finished(window.get(), &MainWindow::fileLoadFinished);
        window->loadProgramDataFile();
        window->saveProgramDataFile();
        QCOMPARE(finished.count(), 0);
        QCOMPARE(window->lastDirectory(), QString("/somewhere/"));
        QCOMPARE(window->shownTitle(), QString("VRXConfig by Tallowmere"));
        QCOMPARE(dialogs_.count("warning"), 0);
    }

    void dialogsUseTheirTitlesFilterAndTheLastFolder() {
        auto window = makeWindow();
        window->setLastDirectory("/start/");
        save(*window, path("first.vrx"));
        load(*window, path("first.vrx"));
        QCOMPARE(dialogs_.asked.size(), 2);
        QCOMPARE(dialogs_.asked[0].title, QString("Save Program Data To File"));
        QCOMPARE(dialogs_.asked[0].folder, QString("/start/"));
        QCOMPARE(dialogs_.asked[1].title, QString("Loading Program Data From File"));
        QCOMPARE(dialogs_.asked[1].folder, bench_.folder.path() + "/");
        for (const auto& asked : dialogs_.asked) {
            QCOMPARE(asked.text, QString("Tallowmere VRXConfig files (*.vrx)"));
        }
    }

    void aFailedSaveShowsTheErrorBoxAndKeepsTheTitle() {
        auto window = makeWindow();
        const QString target = path("no such folder/organ.vrx");
        save(*window, target);
        QCOMPARE(dialogs_.count("warning"), 1);
        QCOMPARE(dialogs_.asked.last().title, QString("File Save Error!"));
        QVERIFY2(dialogs_.asked.last().text.endsWith(" : " + target),
                 qPrintable(dialogs_.asked.last().text));
        QVERIFY(dialogs_.asked.last().text.size() > QString(" : " + target).size());
        QCOMPARE(window->shownTitle(), QString("VRXConfig by Tallowmere"));
        QCOMPARE(window->lastDirectory(), path("no such folder") + "/");
    }

    void aSavedFileCarriesTheUnitsFormatByte() {
        auto window = makeWindow();
        window->setFirmwareVersionByte(vrx::kFormatByteDefault);
        save(*window, path("new.vrx"));
        QCOMPARE(readAll(path("new.vrx")).left(3), QByteArray("13 "));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
