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
