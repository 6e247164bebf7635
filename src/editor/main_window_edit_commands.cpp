// The editor window's Edit menu: every edit as an undo step, and whole rows copied and
// pasted as text.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QUndoStack>

#include "editor/channel_panel.h"
#include "editor/editor_dialogs.h"
#include "editor/main_window.h"
#include "editor/pin_grid.h"
#include "editor/program_data_command.h"
#include "editor/window_shared.h"
#include "model/row_clipboard.h"

namespace vrx {
namespace {
const QString kPasteTitle = QStringLiteral("Paste");
using window::kChannelTab;
using window::kPinTab;
}  // namespace

void MainWindow::buildEditMenu() {
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("mnuEdit");
    // The actions name the step they undo: "Undo Set Pin 17 Function". A choice still
    // floating in the grid is taken in first, so that it is the step undone. `run` is a
    // plain function: a call through a member pointer trips the sanitizer's vptr check.
    const auto addStepAction = [this, edit](const char* name, const QString& caption,
                                            auto canChanged, auto textChanged, auto run) {
        QAction* action = edit->addAction(caption);
        action->setObjectName(name);
        action->setEnabled(false);
        connect(undoStack_, canChanged, action, &QAction::setEnabled);
        connect(undoStack_, textChanged, action, [action, caption](const QString& step) {
            action->setText(step.isEmpty() ? caption : caption + " " + step);
        });
        connect(action, &QAction::triggered, this, [this, run] {
            commitPendingEdit();
            run();
        });
        return action;
    };
    addStepAction("mnuUndo", tr("&Undo"), &QUndoStack::canUndoChanged, &QUndoStack::undoTextChanged,
                  [this] { undoStack_->undo(); })
        ->setShortcuts(QKeySequence::Undo);
    addStepAction("mnuRedo", tr("&Redo"), &QUndoStack::canRedoChanged, &QUndoStack::redoTextChanged,
                  [this] { undoStack_->redo(); })
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    QAction* copy = edit->addAction(tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), this,
                                    [this] { copyRows(); });
    copy->setObjectName("mnuCopyTab");
    QAction* paste = edit->addAction(tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), this,
                                     [this] { pasteRows(); });
    paste->setObjectName("mnuPasteTab");
}

void MainWindow::applyUserEdit(const ProgramEdit& edit) {
    replaceWithUndo(applyEdit(data_, edit), QString::fromStdString(editName(edit)));
}

void MainWindow::replaceWithUndo(const ProgramData& after, const QString& name) {
    if (after == data_) {
        return;
    }
    undoStack_->push(
        new ProgramDataCommand(name, data_, after, [this](const ProgramData& data, bool firstTime) {
            data_ = data;
            refreshViews();
            // An undo or redo can take a MIDI Stop pin away or bring one back.
            if (!firstTime) {
                checkMidiStopChannels();
            }
        }));
}

void MainWindow::commitPendingEdit() {
    pinGrid_->commitPendingEdit();
}

void MainWindow::checkMidiStopChannels() {
    channelPanel_->checkMidiStopChannels();
}

void MainWindow::copyRows() {
    std::string text;
    if (tabScope_->currentIndex() == kPinTab) {
        text = copyPinRows(data_, pinGrid_->selectedRows(), instrumentNames_);
    } else if (tabScope_->currentIndex() == kChannelTab) {
        text = copyChannelRows(data_, channelPanel_->selectedChannels());
    }
    if (!text.empty()) {
        QApplication::clipboard()->setText(QString::fromStdString(text));
    }
}

void MainWindow::pasteRows() {
    commitPendingEdit();
    const std::string text = QApplication::clipboard()->text().toStdString();
    const bool pins = tabScope_->currentIndex() == kPinTab;
    if (!pins && tabScope_->currentIndex() != kChannelTab) {
        return;
    }
    const std::vector<int> rows =
        pins ? pinGrid_->selectedRows() : channelPanel_->selectedChannels();
    if (rows.empty()) {
        dialogs_->showWarning(this, kPasteTitle, tr("Select the rows to paste onto first."));
        return;
    }
    const auto pasted = pins ? pastePinRows(data_, rows, text, instrumentNames_)
                             : pasteChannelRows(data_, rows, text);
    if (!pasted) {
        dialogs_->showWarning(this, kPasteTitle, QString::fromStdString(pasted.error()));
        return;
    }
    replaceWithUndo(*pasted, pins ? tr("Paste Pins") : tr("Paste Channel Rows"));
    if (!pins) {
        // A keyboard pasted onto a channel that a MIDI Stop plays is taken off again,
        // as the channel tab always shows it.
        checkMidiStopChannels();
    }
}

}  // namespace vrx
