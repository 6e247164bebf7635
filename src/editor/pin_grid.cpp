#include "editor/pin_grid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/combo_fill.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace vrx {
namespace {

// Columns are as wide as what they show in the font the user has, so a larger system
// font widens them instead of cutting "Ahlborn ROMANTIC Stop". The Setting column takes
// the rest of the frame, at least this many average characters.
constexpr int kSettingMinimumChars = 32;
constexpr int kCellPaddingChars = 2;
constexpr int kVisibleListEntries = 16;

int textColumnWidth(const QFontMetrics& metrics, const QStringList& texts) {
    int widest = 0;
    for (const auto& text : texts) {
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    return widest + metrics.averageCharWidth() * kCellPaddingChars;
}

int tableColumn(int column) {
    return column - 1;
}

bool handsFocusBack(int key) {
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Backspace;
}

QTableWidgetItem* readOnlyItem(const QString& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

}  // namespace

PinGrid::PinGrid(ProgramData& data, const NameList& instrumentNames, QWidget* parent)
    : QWidget(parent), data_(data), instrumentNames_(instrumentNames) {
    setupPinGrid();
    refresh();
}

void PinGrid::sizeColumnsToTheFont() {
    const QFontMetrics metrics(table_->font());
    const QFontMetrics headerMetrics(table_->horizontalHeader()->font());
    const auto headerWidth = [&](int column) {
        return textColumnWidth(headerMetrics,
                               {table_->horizontalHeaderItem(tableColumn(column))->text()});
    };
    const int numberWidth =
        std::max(headerWidth(kNumberColumn), textColumnWidth(metrics, {QStringLiteral("105 ")}));
    const int slotWidth =
        std::max(headerWidth(kSlotColumn), textColumnWidth(metrics, {QStringLiteral("IN5")}));
    const int pinWidth =
        std::max(headerWidth(kPinColumn), textColumnWidth(metrics, {QStringLiteral("64")}));
    // A drop-down covers its cell while it is edited: the cell fits the drop-down.
    const int functionWidth =
        std::max(headerWidth(kFunctionColumn), editFunction_->sizeHint().width());
    const int channelWidth =
        std::max(headerWidth(kChannelColumn), editMidiControl_->sizeHint().width());
    const int settingWidth = metrics.averageCharWidth() * kSettingMinimumChars;

    auto* header = table_->horizontalHeader();
    header->setMinimumSectionSize(std::min({numberWidth, slotWidth, pinWidth}));
    header->resizeSection(tableColumn(kNumberColumn), numberWidth);
    header->resizeSection(tableColumn(kSlotColumn), slotWidth);
    header->resizeSection(tableColumn(kPinColumn), pinWidth);
    header->resizeSection(tableColumn(kFunctionColumn), functionWidth);
    header->resizeSection(tableColumn(kChannelColumn), channelWidth);
    table_->setMinimumWidth(numberWidth + slotWidth + pinWidth + functionWidth + channelWidth +
                            settingWidth);
}

void PinGrid::setupPinGrid() {
    table_ = new QTableWidget(kPinRows, kSettingColumn, this);
    table_->setObjectName("gridPins");
    table_->setHorizontalHeaderLabels(
        {tr("#"), tr("Slot"), tr("Pin"), tr("Function"), tr("MIDI Channel"), tr("Setting")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows are selected for copy and paste by dragging or with Shift and Ctrl.
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setTabKeyNavigation(false);
    table_->setWordWrap(false);

    auto* header = table_->horizontalHeader();
    header->setStretchLastSection(true);

    const QBrush buttonFace = palette().button();
    for (int r = 1; r <= kPinRows; ++r) {
        const PinLocation where = pinLocation(r);
        auto* number = readOnlyItem(QStringLiteral("%1 ").arg(r), Qt::AlignRight);
        number->setBackground(buttonFace);
        table_->setItem(r - 1, tableColumn(kNumberColumn), number);
        table_->setItem(r - 1, tableColumn(kSlotColumn),
                        readOnlyItem(QString::fromStdString(where.pinName), Qt::AlignHCenter));
        table_->setItem(r - 1, tableColumn(kPinColumn),
                        readOnlyItem(QString::number(where.pinNum), Qt::AlignHCenter));
        for (int column = kFunctionColumn; column <= kSettingColumn; ++column) {
            table_->setItem(r - 1, tableColumn(column), readOnlyItem({}, Qt::AlignLeft));
        }
    }

    const auto makeEditor = [this](const QString& name, const NameList& names) {
        auto* box = new QComboBox(table_->viewport());
        box->setObjectName(name);
        // A list of 128 notes must scroll rather than fill the screen, whatever the
        // style's habit for drop-down lists.
        box->setStyleSheet("QComboBox { combobox-popup: 0; }");
        box->setMaxVisibleItems(kVisibleListEntries);
        fillCombo(*box, names);
        // Long stop names need a list wider than their cell.
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) +
                                     box->view()->verticalScrollBar()->sizeHint().width());
        box->hide();
        box->installEventFilter(this);
        // One click or one Enter in the list is the choice: no second step to confirm it.
        connect(box, &QComboBox::activated, this, &PinGrid::commitPendingEdit);
        return box;
    };
    editFunction_ = makeEditor("editFunction", functionNames());
    editMidiControl_ = makeEditor("editMidiControl", midiChannelNumbers());
    for (int f = kUnassigned + 1; f < kTq450Cancel; ++f) {
        editParameter_.push_back(makeEditor(QStringLiteral("editParameter_%1").arg(f - 1),
                                            settingNames(f, instrumentNames_)));
    }
    // Rows as high as a drop-down, so that the floating one covers its cell exactly.
    table_->verticalHeader()->setDefaultSectionSize(editFunction_->sizeHint().height());
    sizeColumnsToTheFont();

    table_->installEventFilter(this);
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        // A click with Shift or Ctrl extends the selection rather than editing the cell.
        if (!(QApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
            beginCellEdit(row + 1, column + 1);
        }
    });
    connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, this, &PinGrid::placeEditor);
    connect(table_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &PinGrid::placeEditor);
    connect(header, &QHeaderView::sectionResized, this, &PinGrid::placeEditor);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
}

void PinGrid::showRow(int row) {
    const PinAssignment& pin = data_.pins[row - 1];
    const bool known = pin.pinFunction >= 0 && pin.pinFunction < kPinFunctionCount;
    const bool used = known && usesChannelAndSetting(pin.pinFunction);
    table_->item(row - 1, tableColumn(kFunctionColumn))
        ->setText(known ? QString::fromStdString(functionNames()[pin.pinFunction]) : QString());
    table_->item(row - 1, tableColumn(kChannelColumn))
        ->setText(used ? QString::number(pin.pinMidiChannel + 1) : QString());
    table_->item(row - 1, tableColumn(kSettingColumn))
        ->setText(used ? QString::fromStdString(
                             settingText(pin.pinFunction, pin.pinSubFunction, instrumentNames_))
                       : QString());
}

void PinGrid::refresh() {
    table_->setUpdatesEnabled(false);
    for (int r = 1; r <= kPinRows; ++r) {
        showRow(r);
    }
    table_->setUpdatesEnabled(true);
}

QComboBox* PinGrid::editorFor(int column, int function) const {
    switch (column) {
        case kFunctionColumn:
            return editFunction_;
        case kChannelColumn:
            return usesChannelAndSetting(function) ? editMidiControl_ : nullptr;
        case kSettingColumn:
            if (usesChannelAndSetting(function) && function > kUnassigned &&
                function <= static_cast<int>(editParameter_.size())) {
                return editParameter_[function - 1];
            }
            return nullptr;
        default:
            return nullptr;
    }
}

QComboBox* PinGrid::activeEditor() const {
    return editState_ == kNoEdit ? nullptr : editor_;
}

void PinGrid::beginCellEdit(int row, int column) {
    if (editState_ != kNoEdit) {
        commitPendingEdit();
    }
    if (row < 1 || row > kPinRows) {
        return;
    }
    const PinAssignment& pin = data_.pins[row - 1];
    QComboBox* box = editorFor(column, pin.pinFunction);
    if (!box) {
        return;
    }
    const int kept = column == kFunctionColumn  ? pin.pinFunction
                     : column == kChannelColumn ? pin.pinMidiChannel
                                                : pin.pinSubFunction;
    editRow_ = row;
    editState_ = column;
    editor_ = box;
    table_->setCurrentCell(row - 1, tableColumn(column));
    table_->scrollToItem(table_->item(row - 1, tableColumn(column)));
    placeEditor();
    showComboIndex(*box, kept);
    box->show();
    box->raise();
    box->setFocus(Qt::OtherFocusReason);
    box->showPopup();
}

void PinGrid::placeEditor() {
    if (editState_ == kNoEdit) {
        return;
    }
    editor_->setGeometry(
        table_->visualItemRect(table_->item(editRow_ - 1, tableColumn(editState_))));
}

int PinGrid::closeEditor() {
    const int chosen = editor_->currentIndex();
    QComboBox* box = editor_;
    // Cleared first: hiding the drop-down moves the focus, which would commit again.
    editState_ = kNoEdit;
    editor_ = nullptr;
    box->hidePopup();
    if (box->hasFocus()) {
        table_->setFocus(Qt::OtherFocusReason);
    }
    box->hide();
    return chosen;
}

void PinGrid::discardPendingEdit() {
    if (editState_ != kNoEdit) {
        closeEditor();
    }
}

void PinGrid::commitPendingEdit() {
    if (editState_ == kNoEdit) {
        return;
    }
    const int column = editState_;
    const int chosen = closeEditor();

    // No choice means the kept value lay beyond the list: it stays as it was. A choice
    // of what the cell already holds is no edit.
    const PinAssignment& pin = data_.pins[editRow_ - 1];
    const PinField field = column == kFunctionColumn  ? PinField::Function
                           : column == kChannelColumn ? PinField::MidiChannel
                                                      : PinField::Setting;
    const int kept = column == kFunctionColumn  ? pin.pinFunction
                     : column == kChannelColumn ? pin.pinMidiChannel
                                                : pin.pinSubFunction;
    const int row = editRow_;
    if (chosen >= 0 && chosen != kept) {
        sendEdit(editSink_, data_, PinEdit{row, field, chosen});
    }
    showRow(row);
}

std::vector<int> PinGrid::selectedRows() const {
    std::vector<int> rows;
    for (int r = 0; r < kPinRows; ++r) {
        for (int c = 0; c < table_->columnCount(); ++c) {
            if (table_->item(r, c)->isSelected()) {
                rows.push_back(r + 1);
                break;
            }
        }
    }
    return rows;
}

std::optional<std::pair<int, int>> PinGrid::nextEditableCell(int row, int column, int step) const {
    constexpr int kEditableColumns = kSettingColumn - kFunctionColumn + 1;
    int position = (row - 1) * kEditableColumns + (column - kFunctionColumn);
    for (position += step; position >= 0 && position < kPinRows * kEditableColumns;
         position += step) {
        const int nextRow = position / kEditableColumns + 1;
        const int nextColumn = position % kEditableColumns + kFunctionColumn;
        if (editorFor(nextColumn, data_.pins[nextRow - 1].pinFunction)) {
            return std::pair{nextRow, nextColumn};
        }
    }
    return std::nullopt;
}

bool PinGrid::moveByTab(int key) {
    const int step = key == Qt::Key_Backtab ? -1 : 1;
    const int row = editState_ != kNoEdit ? editRow_ : std::max(table_->currentRow() + 1, 1);
    int column = editState_ != kNoEdit ? editState_ : table_->currentColumn() + 1;
    if (column < kFunctionColumn) {
        // From "#", "Slot" or "Pin", Tab goes to the row's own cells, Shift+Tab above them.
        column = step > 0 ? kFunctionColumn - 1 : kFunctionColumn;
    }
    commitPendingEdit();
    const auto next = nextEditableCell(row, column, step);
    if (!next) {
        return false;  // past the grid's first or last cell: the focus leaves the grid
    }
    table_->setCurrentCell(next->first - 1, tableColumn(next->second));
    table_->setFocus(Qt::TabFocusReason);
    return true;
}

bool PinGrid::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == table_ || (watched == editor_ && editState_ != kNoEdit)) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && moveByTab(key)) {
            return true;
        }
    }
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            commitPendingEdit();
            return true;
        }
        if ((key == Qt::Key_F2 || key == Qt::Key_Space) && table_->currentRow() >= 0) {
            beginCellEdit(table_->currentRow() + 1, table_->currentColumn() + 1);
            return true;
        }
        return false;
    }
    if (watched != editor_ || editState_ == kNoEdit) {
        return false;
    }
    if (event->type() == QEvent::KeyPress &&
        handsFocusBack(static_cast<QKeyEvent*>(event)->key())) {
        table_->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (event->type() == QEvent::FocusOut) {
        // Opening the drop-down's own list, which takes the focus into it, or switching
        // to another window is not leaving the cell.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            !editor_->view()->isVisible()) {
            commitPendingEdit();
        }
    }
    return false;
}

}  // namespace vrx
