#include <QHeaderView>
#include <QLineEdit>

#include "editor_bench.h"

namespace vrx::testing {

class PinGridTest : public QObject {
    Q_OBJECT

    EditorBench bench_;

private slots:
    void columnsFollowTheFontSoNoNameIsCut() {
        const QFont normal = QApplication::font();
        QFont large = normal;
        large.setPointSize(20);
        QApplication::setFont(large);
        auto window = bench_.makeWindow();
        QApplication::setFont(normal);
        const QTableWidget* table = gridOf(*window)->table();
        QVERIFY(table->horizontalHeader()->sectionSize(3) >
                QFontMetrics(table->font()).horizontalAdvance("Ahlborn ROMANTIC Stop"));
    }

    void rowsShowTheInputAndWhatAChangedFunctionResets() {
        auto window = bench_.makeWindow();
        PinGrid* grid = showPinGrid(*window);
        QCOMPARE(rowText(*grid, 1), QString("1 |IN1|62|Unassigned||"));
        QCOMPARE(rowText(*grid, 105), QString("105 |IN5|64|Unassigned||"));
        const std::tuple<PinAssignment, int, PinAssignment, QString> cases[] = {
            {{0, 0, 0}, 10, {10, 0, 0}, "Note On/Off|1|0 (C-2)"},     // unassigned to note
            {{9, 4, 7}, 13, {13, 0, 0}, "TQ-450 Cancel||"},           // program change to cancel
            {{10, 5, 60}, 10, {10, 5, 60}, "Note On/Off|6|60 (C3)"},  // the same keeps both
        };
        for (const auto& [before, chosen, after, shown] : cases) {
            ProgramData data;
            data.pins[6] = before;
            window->decodeProgramData(encodeProgramData(data));
            QComboBox* box = pickInCell(*grid, 7, PinGrid::kFunctionColumn, chosen);
            QCOMPARE(box->geometry(), grid->table()->visualItemRect(grid->table()->item(6, 3)));
            grid->commitPendingEdit();
            QCOMPARE(window->programData().pins[6], after);
            QCOMPARE(rowText(*grid, 7, PinGrid::kFunctionColumn), shown);
            QVERIFY(!grid->activeEditor() && !box->isVisible());
        }
        // The channel's list opens on the pin's own channel.
        grid->beginCellEdit(7, PinGrid::kChannelColumn);
        QCOMPARE(grid->activeEditor()->currentIndex(), 5);
    }

    // However the floating drop-down is left, the choice in it is kept.
    void leavingAnEditKeepsTheChoice() {
        const std::function<void(MainWindow&, PinGrid&)> ways[] = {
            [](auto&, PinGrid& grid) { QTest::keyClick(grid.activeEditor(), Qt::Key_Escape); },
            [](auto&, PinGrid& grid) { QTest::keyClick(grid.activeEditor(), Qt::Key_Backspace); },
            [](auto& window, PinGrid&) { named<QLineEdit>(window, "memory")->setFocus(); },
            [](auto&, PinGrid& grid) { pickInCell(grid, 2, PinGrid::kFunctionColumn, kTq450Trem); },
        };
        for (const auto& leave : ways) {
            auto window = bench_.makeWindow();
            PinGrid* grid = showPinGrid(*window);
            pickInCell(*grid, 20, PinGrid::kFunctionColumn, kMidiStop);
            leave(*window, *grid);
            QCOMPARE(rowText(*grid, 20, PinGrid::kFunctionColumn),
                     QString("MIDI Stop|1|IN1 (Swell)"));
            QCOMPARE(rowText(*grid, 2, PinGrid::kFunctionColumn), QString("Unassigned||"));
        }
    }

    // One click or one Enter on an entry of the open list takes it into the configuration.
    void pickingAnEntryInTheListTakesIt() {
        const std::function<void(QComboBox&, int)> picks[] = {
            [](QComboBox& box, int entry) {
                QAbstractItemView* list = box.view();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualRect(box.model()->index(entry, 0)).center());
            },
            [](QComboBox& box, int entry) {
                box.view()->setCurrentIndex(box.model()->index(entry, 0));
                QTest::keyClick(box.view(), Qt::Key_Return);
            },
        };
        for (const auto& pick : picks) {
            auto window = bench_.makeWindow();
            PinGrid* grid = showPinGrid(*window);
            grid->beginCellEdit(4, PinGrid::kFunctionColumn);
            QComboBox* box = grid->activeEditor();
            QVERIFY(box->view()->isVisible());
            pick(*box, kNoteOnOff);
            QCOMPARE(window->programData().pins[3].pinFunction, int(kNoteOnOff));
            QVERIFY(!grid->activeEditor() && !box->isVisible());
            QCOMPARE(window->windowTitle().contains('*'), true);
        }
    }

    // Tab and Shift+Tab visit only the cells that float a drop-down, row after row; from
    // an open drop-down they keep its choice first.
    void tabMovesBetweenTheEditableCells() {
        auto window = bench_.makeWindow();
        PinGrid* grid = showPinGrid(*window);
        ProgramData data;
        data.pins[1] = {kNoteOnOff, 0, 0};  // row 2 has a channel and a setting
        window->decodeProgramData(encodeProgramData(data));
        QTableWidget* table = grid->table();
        table->setCurrentCell(0, 0);
        table->setFocus();
        const std::pair<int, int> forward[] = {{1, 4}, {2, 4}, {2, 5}, {2, 6}, {3, 4}};
        for (const auto& [row, column] : forward) {
            QTest::keyClick(table, Qt::Key_Tab);
            QCOMPARE(std::pair(table->currentRow() + 1, table->currentColumn() + 1),
                     std::pair(row, column));
        }
        const std::pair<int, int> back[] = {{2, 6}, {2, 5}, {2, 4}, {1, 4}};
        for (const auto& [row, column] : back) {
            QTest::keyClick(table, Qt::Key_Backtab);
            QCOMPARE(std::pair(table->currentRow() + 1, table->currentColumn() + 1),
                     std::pair(row, column));
        }
        QComboBox* box = pickInCell(*grid, 3, PinGrid::kFunctionColumn, kNoteOnOff);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(window->programData().pins[2].pinFunction, int(kNoteOnOff));
        QCOMPARE(std::pair(table->currentRow() + 1, table->currentColumn() + 1),
                 std::pair(3, int(PinGrid::kChannelColumn)));
        QVERIFY(table->hasFocus() && !grid->activeEditor());
    }

    void clickOrF2OpensTheListOfACell() {
        auto window = bench_.makeWindow();
        PinGrid* grid = showPinGrid(*window);
        QTableWidget* table = grid->table();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualItemRect(table->item(2, 3)).center());
        QVERIFY(grid->activeEditor() && grid->activeEditor()->view()->isVisible());
        grid->activeEditor()->hidePopup();  // opening its list was not leaving the cell
        QCOMPARE(grid->editState(), int(PinGrid::kFunctionColumn));
        QTest::keyClick(grid->activeEditor(), Qt::Key_Escape);
        table->setCurrentCell(5, 3);
        QTest::keyClick(table, Qt::Key_F2);
        QCOMPARE(grid->activeEditor()->geometry(), table->visualItemRect(table->item(5, 3)));
    }
};

}  // namespace vrx::testing

QTEST_MAIN(vrx::testing::PinGridTest)
#include "pin_grid_test.moc"
