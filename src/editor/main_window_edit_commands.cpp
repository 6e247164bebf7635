// The editor window's Edit menu: every edit as an undo step, and whole rows copied and
// pasted as text.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QUndoStack>

#include "editor/channel_panel.h"
#include "editor/editor_dialogs.h"
#include "editor/main_window.h"
#include "editor/pin_grid.h"
#include "editor/program_data_command.h"
#include "editor/window_shared.h"
#include "model/midi_stop_lock.h"
#include "model/row_clipboard.h"

namespace vrx {
namespace {
const QString kPasteTitle = QStringLiteral("Paste");
using window::kChannelTab;
using window::kGeneralTab;
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
    clipboardCommands_ = {copy, paste};
    showClipboardCommands();
}

void MainWindow::showClipboardCommands() {
    if (!clipboardCommands_[0]) {
        return;  // the Edit menu is built after the views
    }
    // The General Settings tab has no rows to copy or paste onto.
    const bool rows = tabScope_->currentIndex() != kGeneralTab;
    clipboardCommands_[0]->setEnabled(rows);
    clipboardCommands_[1]->setEnabled(rows && editable_);
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
                channelPanel_->checkMidiStopChannels();
            }
        }));
}

void MainWindow::commitPendingEdit() {
    pinGrid_->commitPendingEdit();
}

void MainWindow::checkMidiStopChannels() {
    const std::vector<int> taken = channelsTheLockTakes(data_);
    if (!taken.empty()) {
        // The lock changes the configuration: the user sees it as an edit of its own,
        // which can be undone and is saved like any other.
        replaceWithUndo(withMidiStopLock(data_), tr("MIDI Stop Lock"));
        statusBar()->showMessage(lockMessage(taken));
    }
    channelPanel_->checkMidiStopChannels();
}

QString MainWindow::lockMessage(const std::vector<int>& channels) {
    return tr("A MIDI Stop pin plays %1 %2: the keyboard is set to None.")
        .arg(channels.size() == 1 ? tr("channel") : tr("channels"))
        .arg(QString::fromStdString(channelListText(channels)));
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
    if (!editable_) {
        return;
    }
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
    if (pins) {
        replaceWithUndo(*pasted, tr("Paste Pins"));
        return;
    }
    // A keyboard pasted onto a channel that a MIDI Stop plays is left out, in the same
    // step, and the user hears which.
    const std::vector<int> skipped = channelsTheLockTakes(*pasted);
    replaceWithUndo(withMidiStopLock(*pasted), tr("Paste Channel Rows"));
    channelPanel_->checkMidiStopChannels();
    if (!skipped.empty()) {
        statusBar()->showMessage(lockMessage(skipped));
    }
}

}  // namespace vrx
