#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QUndoStack>
#include <QXmlStreamReader>

#include "editor/channel_panel.h"
#include "editor/compare_window.h"
#include "editor_bench.h"
#include "files/config_file.h"

using vrx::MainWindow;
using vrx::PinGrid;
using vrx::ProgramData;
using namespace vrx::testing;
using Answer = vrx::EditorDialogs::Answer;

namespace {

void writeConfiguration(const QString& path, const ProgramData& data) {
    writeAll(path, QByteArray::fromStdString(vrx::configFileText(vrx::encodeProgramData(data))));
}

// Four stop tabs in a row, as the editor holds them after opening them from a file.
ProgramData stopTabs() {
    ProgramData data;
    for (int row = 42; row <= 45; ++row) {
        data.pins[row - 1] = {vrx::kRomanticStop, 1, row - 42};
    }
    return *vrx::decodeProgramData(vrx::encodeProgramData(data));
}

}  // namespace

class EditingTest : public QObject {
    Q_OBJECT

    EditorBench bench_;
    RecordingDialogs& dialogs_ = bench_.dialogs;

    std::unique_ptr<MainWindow> makeWindow(const ProgramData& data = {}) {
        return bench_.windowWith(data);
    }
    QString path(const QString& name) const { return bench_.path(name); }
    static QAction* action(const MainWindow& window, const char* name) {
        return named(window, name);
    }
    static PinGrid* grid(const MainWindow& window) { return gridOf(window); }
    static void showTab(MainWindow& window, int tab) {
        window.findChild<QTabWidget*>("tabScope")->setCurrentIndex(tab);
    }
    static void selectPinRows(MainWindow& window, int first, int last) {
        QTableWidget* table = grid(window)->table();
        table->clearSelection();
        table->setRangeSelected(QTableWidgetSelectionRange(first - 1, 0, last - 1, 5), true);
    }

private slots:
    void eachEditIsOneUndoableStepNamedInTheEditMenu() {
        auto window = makeWindow();
        const ProgramData start = window->programData();
        QCOMPARE(window->shownTitle(), QString("VRXConfig by Tallowmere"));
        QAction* undo = action(*window, "mnuUndo");
        QVERIFY(!undo->isEnabled());

        window->findChild<QComboBox*>("transposeInput_2")
            ->setCurrentIndex(vrx::keyOffsetToIndex(12));
        editPin(*window, 17, PinGrid::kFunctionColumn, vrx::kNoteOnOff);
        editPin(*window, 17, PinGrid::kSettingColumn, 56);
        QCOMPARE(window->programData().pins[16], (vrx::PinAssignment{vrx::kNoteOnOff, 0, 56}));
        QCOMPARE(undo->text(), QString("&Undo Set Pin 17 Setting"));
        QCOMPARE(window->shownTitle(), QString("VRXConfig by Tallowmere*"));

        undo->trigger();
        undo->trigger();
        // The function change took its reset of channel and setting back with it.
        QCOMPARE(window->programData().pins[16], start.pins[16]);
        QCOMPARE(grid(*window)->table()->item(16, 3)->text(), QString("Unassigned"));
        QCOMPARE(undo->text(), QString("&Undo Set Channel 3 Key Offset"));
        undo->trigger();
        QCOMPARE(window->programData(), start);
        QCOMPARE(window->findChild<QComboBox*>("transposeInput_2")->currentText(), QString("-36"));
        QCOMPARE(window->shownTitle(), QString("VRXConfig by Tallowmere"));

        QAction* redo = action(*window, "mnuRedo");
        redo->trigger();
        QCOMPARE(window->programData().channels[2].keyOffset, 12);
        QVERIFY(window->hasUnsavedChanges());

        // A choice still floating in the grid is the step that Undo takes back.
        pickInCell(*grid(*window), 5, PinGrid::kFunctionColumn, vrx::kMidiStop);
        undo->trigger();
        QCOMPARE(grid(*window)->editState(), PinGrid::kNoEdit);
        QCOMPARE(window->programData().pins[4], start.pins[4]);
        QCOMPARE(window->programData().channels[2].keyOffset, 12);
    }

    void undoingAMidiStopFreesItsChannelAgain() {
        auto window = makeWindow();
        editPin(*window, 42, PinGrid::kFunctionColumn, vrx::kMidiStop);
        window->checkMidiStopChannels();
        QVERIFY(!window->findChild<QComboBox*>("inputKeyboard_0")->isEnabled());
        action(*window, "mnuUndo")->trigger();
        QVERIFY(window->findChild<QComboBox*>("inputKeyboard_0")->isEnabled());
    }

    void openingOrSavingLeavesNothingUnsaved() {
        writeConfiguration(path("organ.vrx"), stopTabs());
        auto window = makeWindow();
        editPin(*window, 1, PinGrid::kFunctionColumn, vrx::kTq450Cancel);
        dialogs_.saveAnswers = {path("mine.vrx")};
        QVERIFY(window->saveProgramDataFile());
        QCOMPARE(window->shownTitle(), QString("VRXConfig - Editing File: mine.vrx"));
        editPin(*window, 2, PinGrid::kFunctionColumn, vrx::kTq450Cancel);
        QCOMPARE(window->shownTitle(), QString("VRXConfig - Editing File: mine.vrx*"));

        dialogs_.yesNoCancelAnswer = Answer::No;
        dialogs_.openAnswers = {path("organ.vrx")};
        action(*window, "mnuLoad")->trigger();
        QCOMPARE(window->programData(), stopTabs());
        QVERIFY(!window->hasUnsavedChanges());
        QVERIFY(!window->undoStack()->canUndo());
    }

    void replacingUnsavedEditsAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAnswer");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("saved");
        QTest::newRow("cancel stays") << int(Answer::Cancel) << "" << false << false;
        QTest::newRow("no goes on") << int(Answer::No) << "" << true << false;
        QTest::newRow("yes saves, then goes on") << int(Answer::Yes) << "kept.vrx" << true << true;
        QTest::newRow("yes with the save cancelled stays")
            << int(Answer::Yes) << "" << false << false;
    }
    void replacingUnsavedEditsAsksFirst() {
        QFETCH(int, answer);
        QFETCH(QString, saveAnswer);
        QFETCH(bool, opened);
        QFETCH(bool, saved);
        writeConfiguration(path("organ.vrx"), stopTabs());
        QFile::remove(path("kept.vrx"));
        for (const char* command : {"mnuLoad", "tbrMain_load"}) {
            auto window = makeWindow();
            editPin(*window, 1, PinGrid::kFunctionColumn, vrx::kTq450Cancel);
            dialogs_.yesNoCancelAnswer = static_cast<Answer>(answer);
            dialogs_.saveAnswers = {saveAnswer.isEmpty() ? QString() : path(saveAnswer)};
            dialogs_.openAnswers = {path("organ.vrx")};
            action(*window, command)->trigger();
            QCOMPARE(dialogs_.count("yesnocancel"), 1);
            QCOMPARE(dialogs_.asked.first().text,
                     QString("Save the changes to the current configuration first?"));
            QCOMPARE(dialogs_.count("open"), opened ? 1 : 0);
            QCOMPARE(window->programData() == stopTabs(), opened);
            QCOMPARE(QFile::exists(path("kept.vrx")), saved);
            QFile::remove(path("kept.vrx"));
        }
        // Nothing unsaved: no question.
        auto window = makeWindow();
        dialogs_.openAnswers = {path("organ.vrx")};
        action(*window, "mnuLoad")->trigger();
        QCOMPARE(dialogs_.count("yesnocancel"), 0);
    }

    void loadFromTheUnitAsksFirstToo() {
        auto window = makeWindow();
        QSignalSpy load(window.get(), &MainWindow::loadFromDeviceRequested);
        editPin(*window, 1, PinGrid::kFunctionColumn, vrx::kTq450Cancel);
        dialogs_.yesNoCancelAnswer = Answer::Cancel;
        action(*window, "mnuLoadOrgan")->trigger();
        QCOMPARE(load.count(), 0);
        dialogs_.yesNoCancelAnswer = Answer::No;
        action(*window, "tbrMain_loado")->trigger();
        QCOMPARE(load.count(), 1);
    }

    void copiedPinRowsPasteOntoOtherRowsAsOneStep() {
        auto window = makeWindow(stopTabs());
        showTab(*window, 1);
        selectPinRows(*window, 42, 45);
        action(*window, "mnuCopyTab")->trigger();
        QCOMPARE(QApplication::clipboard()->text().count('\n'), 4);
        QVERIFY(QApplication::clipboard()->text().startsWith(
            "Ahlborn ROMANTIC Stop\t2\t00 - Contre Gamba 16' [P]\n"));

        selectPinRows(*window, 60, 60);
        action(*window, "mnuPasteTab")->trigger();
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(window->programData().pins[59 + i], stopTabs().pins[41 + i]);
        }
        QCOMPARE(grid(*window)->table()->item(61, 5)->text(),
                 QString("02 - Contre Violone 32' [P]"));
        QCOMPARE(window->undoStack()->count(), 1);
        action(*window, "mnuUndo")->trigger();
        QCOMPARE(window->programData(), stopTabs());
    }

    void aPasteThatDoesNotFitChangesNothingAndSaysWhy() {
        auto window = makeWindow(stopTabs());
        showTab(*window, 1);
        QApplication::clipboard()->setText("MIDI Stop\t3\tIN2 (Great)\nMIDI Stop\t3\tIN9\n");
        selectPinRows(*window, 10, 10);
        action(*window, "mnuPasteTab")->trigger();
        QCOMPARE(window->programData(), stopTabs());
        QCOMPARE(dialogs_.asked.last().kind, QString("warning"));
        QCOMPARE(dialogs_.asked.last().text,
                 QString("Pin 11 Setting: \"IN9\" is not in the list of MIDI Stop."));
        QVERIFY(!window->undoStack()->canUndo());
    }

    void channelRowsCopyAndPasteOnTheirTab() {
        ProgramData data;
        data.channels[0] = {2, 3, 1, 12};
        data.pins[0] = {vrx::kMidiStop, 7, 0};  // plays channel 8
        auto window = makeWindow(data);
        showTab(*window, 0);
        auto* panel = window->findChild<vrx::ChannelPanel*>();
        panel->selectChannels({0});
        action(*window, "mnuCopyTab")->trigger();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("IN2 (Great)\t#3\tExpression (11)\t+12\n"));
        panel->selectChannels({6, 7});
        action(*window, "mnuPasteTab")->trigger();
        QCOMPARE(window->programData().channels[6], data.channels[0]);
        QCOMPARE(window->findChild<QComboBox*>("inputKeyboard_6")->currentText(),
                 QString("IN2 (Great)"));
        // Channel 8 belongs to a MIDI Stop: the pasted keyboard comes off again.
        QCOMPARE(window->programData().channels[7], (vrx::ChannelSetting{0, 3, 1, 12}));
        QVERIFY(!window->findChild<QComboBox*>("inputKeyboard_7")->isEnabled());
    }

    void compareWithFileListsTheDifferences() {
        ProgramData other = stopTabs();
        other.channels[2].keyOffset = 12;
        writeConfiguration(path("other.vrx"), other);
        writeConfiguration(path("same.vrx"), stopTabs());
        auto window = makeWindow(stopTabs());
        dialogs_.openAnswers = {path("other.vrx"), path("same.vrx")};
        action(*window, "mnuCompareFile")->trigger();
        action(*window, "mnuCompareFile")->trigger();
        const auto windows = window->findChildren<vrx::CompareWindow*>();
        QCOMPARE(windows.size(), 2);
        QCOMPARE(windows[0]->listedText(), QString("Channel 3 Key Offset: +12 \u2192 -36\n"));
        QCOMPARE(windows[1]->listedText(), QString("No differences\n"));

        dialogs_.saveAnswers = {path("differences.txt")};
        windows[0]->saveAsText();
        QCOMPARE(QString::fromUtf8(readAll(path("differences.txt"))), windows[0]->listedText());
        QCOMPARE(window->programData(), stopTabs());  // the editor keeps what it had
    }

    void thePinListExportsAsCsvHtmlAndPdf() {
        auto window = makeWindow(stopTabs());
        dialogs_.saveAnswers = {path("pins.csv"), path("pins.html"), path("pins.pdf")};
        for (int k = 0; k < 3; ++k) {
            action(*window, "mnuExportPins")->trigger();
        }
        const QString csv = QString::fromUtf8(readAll(path("pins.csv")));
        QVERIFY(csv.contains("45,IN5,4,Ahlborn ROMANTIC Stop,2,03 - Contre Basson 32' [P]\r\n"));

        QXmlStreamReader html(readAll(path("pins.html")));
        int cells = 0;
        while (!html.atEnd()) {
            html.readNext();
            cells += html.isStartElement() && html.name() == QLatin1String("td") ? 1 : 0;
        }
        QVERIFY2(!html.hasError(), qPrintable(html.errorString()));
        QCOMPARE(cells, 16 * 5 + 2 * 2 + 6 * 2 + 4 * 6);

        QCOMPARE(pdfText(path("pins.pdf")).count("Contre Basson 32' [P]"), 1);

        dialogs_.printToPdf = path("printed.pdf");
        action(*window, "mnuAllPins")->setChecked(true);
        action(*window, "mnuPrint")->trigger();
        const QString printed = pdfText(path("printed.pdf"));
        QVERIFY(printed.contains("Pin Configuration: 4 of 105 pins assigned"));
        QVERIFY(printed.contains("Contre Violone 32' [P]"));
        QCOMPARE(printed.count("Unassigned"), 101);
    }

private:
    static QString pdfText(const QString& pdf) {
        QProcess process;
        process.start("pdftotext", {"-layout", pdf, "-"});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            qFatal("pdftotext failed on %s", qPrintable(pdf));
        }
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
