#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <random>

#include "editor/main_window.h"
#include "editor/pin_grid.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "recording_dialogs.h"

using vrx::MainWindow;
using vrx::ProgramData;
using vrx::testing::RecordingDialogs;

namespace {

constexpr int kInstruments = 128;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

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
    const auto instruments = vrx::testing::numberedInstruments(kInstruments);
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

    RecordingDialogs dialogs_;
    QTemporaryDir folder_;

    std::unique_ptr<MainWindow> makeWindow() {
        dialogs_ = RecordingDialogs{};
        return std::make_unique<MainWindow>(vrx::EditorSetup{
            vrx::testing::numberedInstruments(kInstruments), &dialogs_, {VRX_RESOURCE_DIR}});
    }
    QString path(const QString& name) const { return folder_.filePath(name); }
    void load(MainWindow& window, const QString& file) {
        dialogs_.openAnswers << file;
        window.loadProgramDataFile();
    }
    void save(MainWindow& window, const QString& file) {
        dialogs_.saveAnswers << file;
        window.saveProgramDataFile();
    }
    static QString cell(const MainWindow& window, int row, int column) {
        return window.findChild<QTableWidget*>("gridPins")->item(row - 1, column - 1)->text();
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
        QSignalSpy finished(window.get(), &MainWindow::fileLoadFinished);
        load(*window, path("in.vrx"));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished[0][0].toInt(), 1);
        QCOMPARE(finished[0][1].toString(), QString("in.vrx"));

        const auto instruments = vrx::testing::numberedInstruments(kInstruments);
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
        QCOMPARE(combo(*window, "cboArchiveAnalogInput_1")->currentIndex(),
                 data.archiveMidiChannel);
        for (int k = 0; k < vrx::kTuningOptions; ++k) {
            QCOMPARE(
                window->findChild<QCheckBox*>(QStringLiteral("chkTuning_%1").arg(k))->isChecked(),
                data.tuningOptions[k]);
        }
        for (int r = 1; r <= vrx::kPinRows; ++r) {
            const auto& pin = window->programData().pins[r - 1];
            QCOMPARE(cell(*window, r, 4),
                     QString::fromStdString(vrx::functionNames()[pin.pinFunction]));
            QCOMPARE(cell(*window, r, 6), QString::fromStdString(vrx::settingText(
                                              pin.pinFunction, pin.pinSubFunction, instruments)));
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
        combo(*window, "transposeInput_9")->setCurrentIndex(vrx::keyOffsetToIndex(12));
        combo(*window, "cboArchiveAnalogInput_0")->setCurrentIndex(5);
        combo(*window, "cboArchiveAnalogInput_1")->setCurrentIndex(7);
        window->findChild<QCheckBox*>("chkTuning_2")->setChecked(true);
        auto* grid = window->findChild<vrx::PinGrid*>();
        const auto choose = [&](int row, int column, int index) {
            grid->beginCellEdit(row, column);
            grid->activeEditor()->hidePopup();
            grid->activeEditor()->setCurrentIndex(index);
            grid->commitPendingEdit();
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
        auto* grid = window->findChild<vrx::PinGrid*>();
        grid->beginCellEdit(5, vrx::PinGrid::kFunctionColumn);
        grid->activeEditor()->hidePopup();
        grid->activeEditor()->setCurrentIndex(vrx::kNoteOnOff);

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
        auto* grid = window->findChild<vrx::PinGrid*>();
        grid->beginCellEdit(5, vrx::PinGrid::kFunctionColumn);
        grid->activeEditor()->hidePopup();
        grid->activeEditor()->setCurrentIndex(vrx::kNoteOnOff);

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
        QCOMPARE(cell(*window, 5, 4),
                 QString::fromStdString(vrx::functionNames()[opened.pins[4].pinFunction]));
    }

    void aFileWithoutAConfigurationLeavesTheEditorAsItWas_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("exists");
        const QByteArray good = fileOf(randomConfiguration(99));
        QByteArray notHex = good;
        notHex.replace(30, 2, "zz");
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("only short lines") << QByteArray("ff 00 1c\r\nhello\r\n") << true;
        QTest::newRow("data line cut short") << good.left(700) << true;
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
        QCOMPARE(cell(*window, 1, 4),
                 QString::fromStdString(vrx::functionNames()[before.pins[0].pinFunction]));
        QCOMPARE(window->lastDirectory(), folder_.path() + "/");
    }

    void cancelledDialogsChangeNothing() {
        auto window = makeWindow();
        window->setLastDirectory("/somewhere/");
        QSignalSpy finished(window.get(), &MainWindow::fileLoadFinished);
        window->loadProgramDataFile();
        window->saveProgramDataFile();
        QCOMPARE(finished.count(), 0);
        QCOMPARE(window->lastDirectory(), QString("/somewhere/"));
        QCOMPARE(window->windowTitle(), QString("VRXConfig by Tallowmere"));
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
        QCOMPARE(dialogs_.asked[1].folder, folder_.path() + "/");
        for (const auto& asked : dialogs_.asked) {
            QCOMPARE(asked.text, QString("Tallowmere VRXConfig files (*.vrx)"));
        }
    }

    void aSaveNamesTheFileInTheTitleAndAddsTheExtension() {
        auto window = makeWindow();
        QDir(folder_.path()).mkpath("set.d");
        save(*window, path("set.d/organ"));
        QVERIFY(QFile::exists(path("set.d/organ.vrx")));
        QCOMPARE(window->windowTitle(), QString("VRXConfig - Editing File: organ.vrx"));
        save(*window, path("organ.bak"));
        QVERIFY(QFile::exists(path("organ.bak")));
        QCOMPARE(window->windowTitle(), QString("VRXConfig - Editing File: organ.bak"));

        load(*window, path("organ.bak"));
        QCOMPARE(window->windowTitle(), QString("VRXConfig - Editing File: organ.bak"));
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
        QCOMPARE(window->windowTitle(), QString("VRXConfig by Tallowmere"));
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
