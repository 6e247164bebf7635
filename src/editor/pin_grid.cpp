#include "editor/pin_grid.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/combo_fill.h"

namespace vrx {
namespace {

// Column widths in pixels; the Setting column takes the rest of the frame.
constexpr int kNumberWidth = 44;
constexpr int kSlotWidth = 50;
constexpr int kPinWidth = 44;
constexpr int kFunctionWidth = 190;
constexpr int kChannelWidth = 100;
constexpr int kSettingMinimumWidth = 250;
constexpr int kVisibleListEntries = 16;

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

void PinGrid::setupPinGrid() {
    table_ = new QTableWidget(kPinRows, kSettingColumn, this);
    table_->setObjectName("gridPins");
    table_->setHorizontalHeaderLabels(
        {tr("#"), tr("Slot"), tr("Pin"), tr("Function"), tr("MIDI Channel"), tr("Setting")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setTabKeyNavigation(false);
    table_->setWordWrap(false);

    auto* header = table_->horizontalHeader();
    header->resizeSection(tableColumn(kNumberColumn), kNumberWidth);
    header->resizeSection(tableColumn(kSlotColumn), kSlotWidth);
    header->resizeSection(tableColumn(kPinColumn), kPinWidth);
    header->resizeSection(tableColumn(kFunctionColumn), kFunctionWidth);
    header->resizeSection(tableColumn(kChannelColumn), kChannelWidth);
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(kNumberWidth);

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
    table_->setMinimumWidth(kNumberWidth + kSlotWidth + kPinWidth + kFunctionWidth + kChannelWidth +
                            kSettingMinimumWidth);

    table_->installEventFilter(this);
    connect(table_, &QTableWidget::cellClicked, this,
            [this](int row, int column) { beginCellEdit(row + 1, column + 1); });
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

    // No choice means the kept value lay beyond the list: it stays as it was.
    if (chosen >= 0) {
        PinAssignment& pin = data_.pins[editRow_ - 1];
        if (column == kFunctionColumn) {
            if (chosen != pin.pinFunction) {
                pin = PinAssignment{chosen, 0, 0};
            }
        } else if (column == kChannelColumn) {
            pin.pinMidiChannel = chosen;
        } else {
            pin.pinSubFunction = chosen;
        }
    }
    showRow(editRow_);
}

bool PinGrid::eventFilter(QObject* watched, QEvent* event) {
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
