#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMap>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

#include "editor_bench.h"

using vrx::PinGrid;

namespace {

// A pin grid in a shown, active window, so that focus moves as it does for the user.
struct GridWindow {
    explicit GridWindow(int instruments = 128)
        : instruments(vrx::testing::numberedInstruments(instruments)) {
        auto* layout = new QVBoxLayout(&window);
        grid = new PinGrid(data, this->instruments);
        other = new QLineEdit;
        layout->addWidget(grid);
        layout->addWidget(other);
        window.resize(900, 600);
        window.show();
        if (!QTest::qWaitForWindowActive(&window)) {
            qFatal("the test window did not become active");
        }
    }
    void setPin(int row, vrx::PinAssignment pin) {
        data.pins[row - 1] = pin;
        grid->refresh();
    }
    QString text(int row, int column) const {
        return grid->table()->item(row - 1, column - 1)->text();
    }
    // Starts an edit, closes the opened list and picks an entry as the keyboard would.
    QComboBox* edit(int row, int column, int choose) {
        return vrx::testing::pickInCell(*grid, row, column, choose);
    }

    vrx::ProgramData data;
    vrx::NameList instruments;
    QWidget window;
    PinGrid* grid = nullptr;
    QLineEdit* other = nullptr;
};

}  // namespace

class PinGridTest : public QObject {
    Q_OBJECT
private slots:
    void columnsFollowTheFontSoNoNameIsCut() {
        const QFont normal = QApplication::font();
        for (const int pointSize : {9, 20}) {
            QFont font = normal;
            font.setPointSize(pointSize);
            QApplication::setFont(font);
            vrx::ProgramData data;
            const auto names = vrx::testing::numberedInstruments(128);
            PinGrid grid(data, names);
            const QFontMetrics metrics(grid.table()->font());
            auto* header = grid.table()->horizontalHeader();
            QVERIFY(header->sectionSize(3) > metrics.horizontalAdvance("Ahlborn ROMANTIC Stop"));
            QVERIFY(header->sectionSize(4) >
                    QFontMetrics(header->font()).horizontalAdvance("MIDI Channel"));
            QVERIFY(header->sectionSize(0) > metrics.horizontalAdvance("105"));
        }
        QApplication::setFont(normal);
    }

    void rowsShowSlotAndPinOfEachControlInput() {
        GridWindow w;
        QCOMPARE(w.grid->table()->rowCount(), 105);
        const struct {
            int row;
            const char* slot;
            const char* pin;
        } rows[] = {{1, "IN1", "62"}, {105, "IN5", "64"}};
        for (const auto& r : rows) {
            QCOMPARE(w.text(r.row, 1), QString::number(r.row) + " ");
            QCOMPARE(w.text(r.row, 2), QString(r.slot));
            QCOMPARE(w.text(r.row, 3), QString(r.pin));
            QCOMPARE(w.text(r.row, 4), QString("Unassigned"));
            QCOMPARE(w.text(r.row, 5), QString());
        }
    }

    void changingTheFunctionResetsChannelAndSetting() {
        const struct {
            vrx::PinAssignment before;
            int chosen;
            vrx::PinAssignment after;
            const char* channelText;
            const char* settingText;
        } cases[] = {
            {{0, 0, 0}, 10, {10, 0, 0}, "1", "0 (C-2)"},  // unassigned to note
            {{9, 4, 7}, 13, {13, 0, 0}, "", ""},          // program change to cancel
            {{1, 3, 5}, 2, {2, 0, 0}, "1", "1A - Contre Gambe 16' [P]"},  // another stop list
            {{10, 5, 60}, 10, {10, 5, 60}, "6", "60 (C3)"},  // the same function keeps both
            {{11, 15, 83}, 11, {11, 15, 83}, "16", "Unit #7, Tab #12"},
        };
        for (const auto& c : cases) {
            GridWindow w;
            w.setPin(7, c.before);
            QComboBox* box = w.edit(7, PinGrid::kFunctionColumn, c.chosen);
            QCOMPARE(box->objectName(), QString("editFunction"));
            QCOMPARE(box->geometry(), w.grid->table()->visualItemRect(w.grid->table()->item(6, 3)));
            w.grid->commitPendingEdit();
            QCOMPARE(w.data.pins[6], c.after);
            QCOMPARE(w.text(7, 5), QString(c.channelText));
            QCOMPARE(w.text(7, 6), QString(c.settingText));
            QCOMPARE(w.grid->editState(), PinGrid::kNoEdit);
            QVERIFY(!box->isVisible());
        }
    }

    void unusedChannelAndSettingCannotBeEdited_data() {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("column");
        QTest::newRow("unassigned channel") << 0 << 5;
        QTest::newRow("unassigned setting") << 0 << 6;
        QTest::newRow("cancel channel") << 13 << 5;
        QTest::newRow("cancel setting") << 13 << 6;
        QTest::newRow("slot column") << 5 << 2;
        QTest::newRow("number column") << 5 << 1;
    }
    void unusedChannelAndSettingCannotBeEdited() {
        QFETCH(int, function);
        QFETCH(int, column);
        GridWindow w;
        w.setPin(3, {function, 0, 0});
        w.grid->beginCellEdit(3, column);
        QCOMPARE(w.grid->editState(), PinGrid::kNoEdit);
        QVERIFY(!w.grid->activeEditor());
        for (auto* box : w.grid->findChildren<QComboBox*>()) {
            QVERIFY2(!box->isVisible(), qPrintable(box->objectName()));
        }
    }

    // However the floating drop-down is left, the choice in it is kept.
    void leavingAnEditKeepsTheChoice_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Esc", "Enter", "Return", "Backspace", "focus elsewhere",
                                "Return in the grid", "another edit"}) {
            QTest::newRow(how) << QString(how);
        }
    }
    void leavingAnEditKeepsTheChoice() {
        QFETCH(QString, how);
        const QMap<QString, Qt::Key> keys = {{"Esc", Qt::Key_Escape},
                                             {"Enter", Qt::Key_Enter},
                                             {"Return", Qt::Key_Return},
                                             {"Backspace", Qt::Key_Backspace}};
        GridWindow w;
        QComboBox* box = w.edit(20, PinGrid::kFunctionColumn, vrx::kMidiStop);
        QVERIFY(box->hasFocus());
        if (keys.contains(how)) {
            QTest::keyClick(box, keys[how]);
            QVERIFY(w.grid->table()->hasFocus());
        } else if (how == "focus elsewhere") {
            w.other->setFocus(Qt::MouseFocusReason);
            QVERIFY(w.other->hasFocus());
        } else if (how == "Return in the grid") {
            QTest::keyClick(w.grid->table(), Qt::Key_Return);
        } else {
            w.edit(2, PinGrid::kFunctionColumn, vrx::kTq450Trem);
            QCOMPARE(w.grid->editState(), int(PinGrid::kFunctionColumn));
            QCOMPARE(w.data.pins[1].pinFunction, int(vrx::kUnassigned));
        }
        QCOMPARE(w.data.pins[19].pinFunction, int(vrx::kMidiStop));
        QCOMPARE(w.text(20, 6), QString("IN1 (Swell)"));
        if (how != "another edit" && how != "focus elsewhere") {
            QVERIFY(!box->isVisible());
            QCOMPARE(w.grid->editState(), PinGrid::kNoEdit);
        }
    }

    void openingItsListIsNotLeavingIt() {
        GridWindow w;
        w.grid->beginCellEdit(30, PinGrid::kFunctionColumn);
        QComboBox* box = w.grid->activeEditor();
        QVERIFY(box->view()->isVisible());
        QCOMPARE(w.grid->editState(), int(PinGrid::kFunctionColumn));
        box->hidePopup();
        QCOMPARE(w.grid->editState(), int(PinGrid::kFunctionColumn));
    }

    void clickOrF2AsksToEditACell() {
        GridWindow w;
        QTableWidget* table = w.grid->table();
        const QRect cell = table->visualItemRect(table->item(2, 3));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(w.grid->editState(), int(PinGrid::kFunctionColumn));
        w.grid->activeEditor()->hidePopup();
        QTest::keyClick(w.grid->activeEditor(), Qt::Key_Escape);
        table->setCurrentCell(5, 3);
        QTest::keyClick(table, Qt::Key_F2);
        QCOMPARE(w.grid->editState(), int(PinGrid::kFunctionColumn));
        QCOMPARE(w.grid->activeEditor()->geometry(), table->visualItemRect(table->item(5, 3)));
    }

    void programChangeOffersAtMost128Programs_data() {
        QTest::addColumn<int>("instruments");
        QTest::addColumn<int>("offered");
        QTest::newRow("short name file") << 3 << 3;
        QTest::newRow("General MIDI") << 128 << 128;
        QTest::newRow("long name file") << 200 << 128;
    }
    void programChangeOffersAtMost128Programs() {
        QFETCH(int, instruments);
        QFETCH(int, offered);
        GridWindow w(instruments);
        auto* list = w.grid->findChild<QComboBox*>("editParameter_8");
        QCOMPARE(list->count(), offered);
        QCOMPARE(list->itemText(offered - 1), QStringLiteral("%1 - Program %1").arg(offered));
    }

    void aSettingBeyondItsListShowsBlankAndIsKept() {
        GridWindow w(3);
        w.setPin(60, {vrx::kProgramChange, 2, 50});
        QCOMPARE(w.text(60, 6), QString());
        w.grid->beginCellEdit(60, PinGrid::kSettingColumn);
        QComboBox* box = w.grid->activeEditor();
        QVERIFY(box);
        QCOMPARE(box->currentIndex(), -1);
        box->hidePopup();
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(w.data.pins[59], (vrx::PinAssignment{vrx::kProgramChange, 2, 50}));
        w.edit(60, PinGrid::kSettingColumn, 1);
        w.grid->commitPendingEdit();
        QCOMPARE(w.data.pins[59].pinSubFunction, 1);
        QCOMPARE(w.text(60, 6), QString("2 - Program 2"));
    }
};

QTEST_MAIN(PinGridTest)
#include "pin_grid_test.moc"
