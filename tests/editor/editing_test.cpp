#include <QClipboard>
#include <QProcess>
#include <QStatusBar>
#include <QUndoStack>

#include "editor/channel_panel.h"
#include "editor/compare_window.h"
#include "editor_bench.h"

namespace vrx::testing {

namespace {

// Four stop tabs in a row, and a channel that a MIDI Stop plays, as the editor holds
// them after opening them from a file.
ProgramData organ() {
    ProgramData data;
    for (int row = 42; row <= 45; ++row) {
        data.pins[row - 1] = {kRomanticStop, 1, row - 42};
    }
    data.channels[0] = {2, 3, 1, 12};
    data.pins[0] = {kMidiStop, 7, 0};  // plays channel 8
    return *decodeProgramData(encodeProgramData(data));
}

void selectPinRows(MainWindow& window, int first, int last) {
    QTableWidget* table = gridOf(window)->table();
    table->clearSelection();
    table->setRangeSelected(QTableWidgetSelectionRange(first - 1, 0, last - 1, 5), true);
}

}  // namespace

class EditingTest : public QObject {
    Q_OBJECT

    EditorBench bench_;
    RecordingDialogs& dialogs_ = bench_.dialogs;

private slots:
    void eachEditIsOneUndoableStepNamedInTheEditMenu() {
        auto window = bench_.makeWindow();
        QAction* undo = named(*window, "mnuUndo");
        named<QComboBox>(*window, "transposeInput_2")->setCurrentIndex(keyOffsetToIndex(12));
        editPin(*window, 17, PinGrid::kFunctionColumn, kNoteOnOff);
        editPin(*window, 17, PinGrid::kSettingColumn, 56);
        QCOMPARE(undo->text(), QString("&Undo Set Pin 17 Setting"));
        QCOMPARE(window->shownTitle(), QString("VRXConfig by Tallowmere*"));
        undo->trigger();
        undo->trigger();
        // The function change took its reset of channel and setting back with it.
        QCOMPARE(rowText(*gridOf(*window), 17, PinGrid::kFunctionColumn), QString("Unassigned||"));
        QCOMPARE(undo->text(), QString("&Undo Set Channel 3 Key Offset"));
        undo->trigger();
        QCOMPARE(window->programData(), ProgramData{});
        QCOMPARE(window->shownTitle(), QString("VRXConfig by Tallowmere"));
        named(*window, "mnuRedo")->trigger();
        QCOMPARE(window->programData().channels[2].keyOffset, 12);

        // A choice still floating in the grid is the step that Undo takes back.
        pickInCell(*gridOf(*window), 5, PinGrid::kFunctionColumn, kMidiStop);
        undo->trigger();
        QCOMPARE(window->programData().channels[2].keyOffset, 12);

        dialogs_.saveAnswers = {bench_.path("mine.vrx")};
        QVERIFY(window->saveProgramDataFile());
        QCOMPARE(window->shownTitle(), QString("VRXConfig - Editing File: mine.vrx"));
    }

    // Opening a file or loading from the unit over unsaved edits asks first.
    void replacingUnsavedEditsAsksFirst() {
        writeAll(bench_.path("organ.vrx"), fileOf(organ()));
        // The answer, whether the save dialog is cancelled, then whether the configuration
        // is replaced and whether it was saved first.
        const std::tuple<EditorDialogs::Answer, bool, bool, bool> cases[] = {
            {EditorDialogs::Answer::Cancel, false, false, false},
            {EditorDialogs::Answer::No, false, true, false},
            {EditorDialogs::Answer::Yes, false, true, true},
            {EditorDialogs::Answer::Yes, true, false, false}};
        for (const auto& [answer, saveCancelled, replaced, saved] : cases) {
            for (const char* command : {"mnuLoad", "tbrMain_load", "tbrMain_loado"}) {
                auto window = bench_.makeWindow();
                QSignalSpy deviceLoads(window.get(), &MainWindow::loadFromDeviceRequested);
                editPin(*window, 1, PinGrid::kFunctionColumn, kTq450Cancel);
                dialogs_.yesNoCancelAnswer = answer;
                dialogs_.saveAnswers = {saveCancelled ? QString() : bench_.path("kept.vrx")};
                dialogs_.openAnswers = {bench_.path("organ.vrx")};
                named(*window, command)->trigger();
                QCOMPARE(dialogs_.asked.first().text,
                         QString("Save the changes to the current configuration first?"));
                QCOMPARE(window->programData() == organ() || deviceLoads.count() == 1, replaced);
                QCOMPARE(QFile::remove(bench_.path("kept.vrx")), saved);
                // An opened file starts a history of its own.
                QCOMPARE(window->undoStack()->canUndo(), !replaced || deviceLoads.count() == 1);
            }
        }
    }

    void rowsCopyAndPasteAsOneStepOnTheirTab() {
        auto window = bench_.makeWindow();
        window->decodeProgramData(encodeProgramData(organ()));
        auto* tabs = named<QTabWidget>(*window, "tabScope");
        tabs->setCurrentIndex(1);
        selectPinRows(*window, 42, 45);
        named(*window, "mnuCopyTab")->trigger();
        selectPinRows(*window, 60, 60);
        named(*window, "mnuPasteTab")->trigger();
        QCOMPARE(window->programData().pins[62], organ().pins[44]);
        named(*window, "mnuUndo")->trigger();
        QCOMPARE(window->programData(), organ());

        // A paste that does not fit changes nothing and says why.
        QApplication::clipboard()->setText("MIDI Stop\t3\tIN2 (Great)\nMIDI Stop\t3\tIN9\n");
        selectPinRows(*window, 10, 10);
        named(*window, "mnuPasteTab")->trigger();
        QCOMPARE(window->programData(), organ());
        QCOMPARE(dialogs_.asked.value(0).text,
                 QString("Pin 11 Setting: \"IN9\" is not in the list of MIDI Stop."));

        tabs->setCurrentIndex(0);
        auto* panel = window->findChild<ChannelPanel*>();
        panel->selectChannels({0});
        named(*window, "mnuCopyTab")->trigger();
        panel->selectChannels({6, 7});
        named(*window, "mnuPasteTab")->trigger();
        QCOMPARE(window->programData().channels[6], organ().channels[0]);
        // Channel 8 belongs to a MIDI Stop: the pasted keyboard comes off again in the
        // same step, and the status bar says so.
        QCOMPARE(window->programData().channels[7], (ChannelSetting{0, 3, 1, 12}));
        QCOMPARE(named(*window, "mnuUndo")->text(), QString("&Undo Paste Channel Rows"));
        QCOMPARE(window->statusBar()->currentMessage(),
                 QString("A MIDI Stop pin plays channel 8: the keyboard is set to None."));
    }

    void compareWithFileListsTheDifferences() {
        ProgramData other = organ();
        other.channels[2].keyOffset = 12;
        writeAll(bench_.path("other.vrx"), fileOf(other));
        auto window = bench_.makeWindow();
        window->decodeProgramData(encodeProgramData(organ()));
        dialogs_.openAnswers = {bench_.path("other.vrx")};
        named(*window, "mnuCompareFile")->trigger();
        auto* compared = window->findChild<CompareWindow*>();
        QCOMPARE(compared->listedText(), QString("Channel 3 Key Offset: +12 \u2192 -36\n"));
        dialogs_.saveAnswers = {bench_.path("differences.txt")};
        compared->saveAsText();
        QCOMPARE(QString::fromUtf8(readAll(bench_.path("differences.txt"))),
                 "1 difference from other.vrx to the configuration in the editor:\n\n" +
                     compared->listedText());
    }

    void thePinListExportsAsCsvHtmlOrPdf() {
        auto window = bench_.makeWindow();
        window->decodeProgramData(encodeProgramData(organ()));
        // The type chosen in the dialog decides the format and the suffix added.
        dialogs_.saveAnswers = {bench_.path("pins"), bench_.path("pins"), bench_.path("pins"),
                                bench_.path("list.htm")};
        dialogs_.typeAnswers = {"CSV files (*.csv)", "HTML files (*.html)", "PDF files (*.pdf)",
                                "HTML files (*.html *.htm)"};
        for (int k = 0; k < 4; ++k) {
            named(*window, "mnuExportPins")->trigger();
        }
        QCOMPARE(readAll(bench_.path("list.htm")), readAll(bench_.path("pins.html")));
        QVERIFY(!QFileInfo::exists(bench_.path("pins")));
        QCOMPARE(dialogs_.proposedNames.first(), QString("VRX configuration"));
        QVERIFY(readAll(bench_.path("pins.csv"))
                    .contains("45,IN5,4,Ahlborn ROMANTIC Stop,2,03 - Contre Basson 32' [P]\r\n"));
        QVERIFY(
            readAll(bench_.path("pins.html")).contains("<td>03 - Contre Basson 32&#39; [P]</td>"));
        QCOMPARE(pdfText(bench_.path("pins.pdf")).count("Contre Basson 32' [P]"), 1);

        dialogs_.printToPdf = bench_.path("printed.pdf");
        named(*window, "mnuAllPins")->setChecked(true);
        named(*window, "mnuPrint")->trigger();
        const QString printed = pdfText(dialogs_.printToPdf);
        QVERIFY(printed.contains("Pin Configuration: 5 of 105 pins assigned"));
        QCOMPARE(printed.count("Unassigned"), 100);
        // The pin table runs over several pages, each starting with its column names.
        const QStringList pinPages = printed.split('\f').filter("Unassigned");
        QVERIFY(pinPages.size() > 1);
        for (const auto& page : pinPages) {
            QVERIFY2(page.contains("MIDI Channel"), qPrintable(page.left(200)));
        }
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

}  // namespace vrx::testing

QTEST_MAIN(vrx::testing::EditingTest)
#include "editing_test.moc"
