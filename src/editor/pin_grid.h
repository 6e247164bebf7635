#pragma once

#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

#include "editor/edit_sink.h"
#include "model/program_data.h"

class QComboBox;
class QTableWidget;

namespace vrx {

// The pin grid `gridPins`: one row per programmable input pin (rows 1 to 105) with the
// columns "#", "Slot", "Pin", "Function", "MIDI Channel" and "Setting". Nobody types into
// it: editing a Function, MIDI Channel or Setting cell floats a drop-down over the cell
// (editFunction, editMidiControl, or editParameter_N for a pin of function N + 1), and
// the choice goes into the ProgramData as soon as an entry is picked in its list, or when
// the drop-down loses the focus. Esc, Enter and Backspace hand the focus back to the
// grid, so they keep the choice too; Tab and Shift+Tab move between the editable cells.
class PinGrid : public QWidget {
    Q_OBJECT
public:
    // Grid columns, counted from 1 as the user reads them.
    enum Column {
        kNumberColumn = 1,
        kSlotColumn,
        kPinColumn,
        kFunctionColumn,
        kChannelColumn,
        kSettingColumn,
    };
    // No edit in progress; otherwise the edit state is the column being edited.
    static constexpr int kNoEdit = 0;

    PinGrid(ProgramData& data, const NameList& instrumentNames, QWidget* parent = nullptr);

    // Shows every row of the ProgramData again; the grid is drawn once afterwards.
    void refresh();

    // The user asks to edit a cell (row 1 to 105, column 1 to 6). Only the Function
    // cell, and for a pin with a channel and setting those two cells, float an editor.
    void beginCellEdit(int row, int column);
    // Takes the floating drop-down's choice into the configuration.
    void commitPendingEdit();
    // Closes the floating drop-down and forgets its choice: the row it was opened for
    // belongs to a configuration that is being replaced.
    void discardPendingEdit();

    // Where the grid's edits go; without a sink they are written into the data.
    void setEditSink(EditSink sink) { editSink_ = std::move(sink); }
    // The grid rows (1 to 105) the user has selected, top to bottom.
    std::vector<int> selectedRows() const;

    int editState() const { return editState_; }
    QTableWidget* table() const { return table_; }
    // The drop-down that floats for the current edit, if any.
    QComboBox* activeEditor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupPinGrid();
    void sizeColumnsToTheFont();
    void showRow(int row);
    QComboBox* editorFor(int column, int function) const;
    void placeEditor();
    // The editable cell after (step 1) or before (step -1) a cell, if there is one.
    std::optional<std::pair<int, int>> nextEditableCell(int row, int column, int step) const;
    // Tab and Shift+Tab: keeps the floating choice and moves to the next editable cell.
    bool moveByTab(int key);
    int closeEditor();  // the choice the drop-down showed

    ProgramData& data_;
    const NameList& instrumentNames_;
    QTableWidget* table_ = nullptr;
    QComboBox* editFunction_ = nullptr;
    QComboBox* editMidiControl_ = nullptr;
    std::vector<QComboBox*> editParameter_;  // element f - 1 serves function f
    int editState_ = kNoEdit;
    int editRow_ = 0;
    QComboBox* editor_ = nullptr;
    EditSink editSink_;
};

}  // namespace vrx
