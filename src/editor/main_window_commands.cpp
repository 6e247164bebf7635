// The editor window's menus and toolbar, and which of their commands can be used now.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "editor/main_window.h"
#include "editor/pin_grid.h"
#include "editor/toolbar_pictures.h"

namespace vrx {
namespace {
constexpr int kToolbarPictureSize = 24;
}  // namespace

void MainWindow::buildMenus() {
    const auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                                const QKeySequence& shortcut, auto handler) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("mnuFile");
    addItem(file, "mnuNew", tr("&New Configuration"), QKeySequence(QKeySequence::New), [this] {
        commitPendingEdit();
        if (maybeSaveChanges()) {
            newConfiguration();
        }
    });
    menuCommands_[kLoadSlot] =
        addItem(file, "mnuLoad", tr("&Open Previously Saved VRX Configuration"),
                QKeySequence(Qt::CTRL | Qt::Key_O), [this] {
                    commitPendingEdit();
                    openFileCommand();
                });
    menuCommands_[kSaveSlot] = addItem(file, "mnuSave", tr("&Save VRX Configuration to File"),
                                       QKeySequence(Qt::CTRL | Qt::Key_S), [this] {
                                           commitPendingEdit();
                                           saveProgramDataFile();
                                       });
    menuCommands_[kLoadOrganSlot] =
        addItem(file, "mnuLoadOrgan", tr("&Load Current Settings from the VRX"),
                QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
                    commitPendingEdit();
                    loadFromDeviceCommand();
                });
    menuCommands_[kWriteSlot] = addItem(file, "mnuWrite", tr("&Write Program Data To VRX"),
                                        QKeySequence(Qt::CTRL | Qt::Key_W), [this] {
                                            commitPendingEdit();
                                            emit writeToDeviceRequested();
                                        });
    file->addSeparator();
    addItem(file, "mnuCompareFile", tr("Compare with &File\u2026"), QKeySequence(),
            [this] { compareWithFile(); });
    addItem(file, "mnuCompareVrx", tr("Compare with the &VRX\u2026"), QKeySequence(), [this] {
        commitPendingEdit();
        emit compareWithDeviceRequested();
    });
    file->addSeparator();
    addItem(file, "mnuExportPins", tr("&Export Pin List\u2026"), QKeySequence(),
            [this] { exportPinList(); });
    addItem(file, "mnuPrint", tr("&Print\u2026"), QKeySequence(QKeySequence::Print),
            [this] { printPinList(); });
    allPinsInList_ = file->addAction(tr("Pin List Shows &All 105 Pins"));
    allPinsInList_->setObjectName("mnuAllPins");
    allPinsInList_->setCheckable(true);
    recentFilesMenu_ = file->addMenu(kRecentFilesCaption);
    recentFilesMenu_->setObjectName("mnuRecentFiles");
    recentFilesMenu_->setEnabled(false);
    // A file can vanish while the program runs: the menu looks again each time it opens.
    connect(recentFilesMenu_, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : recentFilesMenu_->actions()) {
            action->setEnabled(QFileInfo::exists(action->data().toString()));
        }
    });
    file->addSeparator()->setObjectName("mnuSeparatorUnit");
    addItem(file, "mnuBackupAll", tr("&Back Up All Programs\u2026"), QKeySequence(), [this] {
        commitPendingEdit();
        emit backupAllRequested();
    });
    addItem(file, "mnuRestore", tr("&Restore Programs\u2026"), QKeySequence(), [this] {
        commitPendingEdit();
        emit restoreProgramsRequested();
    });
    file->addSeparator()->setObjectName("mnuSeparator1");
    addItem(file, "mnuExit", tr("E&xit"), QKeySequence(), [this] { askToExit(); });

    buildEditMenu();

    QMenu* options = menuBar()->addMenu(tr("&Options"));
    options->setObjectName("mnuOptions");
    midiSetupCommands_[0] =
        addItem(options, "mnuMidiSetup", tr("&MIDI I/O Setup"), QKeySequence(Qt::CTRL | Qt::Key_M),
                [this] { emit midiSetupRequested(); });
    addItem(options, "mnuTestMidi", tr("&Test MIDI Connection..."), QKeySequence(),
            [this] { emit testMidiConnectionRequested(); });
    verifyAfterWriting_ = options->addAction(tr("&Verify After Writing"));
    verifyAfterWriting_->setObjectName("mnuVerifyAfterWriting");
    verifyAfterWriting_->setCheckable(true);
    verifyAfterWriting_->setChecked(true);
    connect(verifyAfterWriting_, &QAction::toggled, this, &MainWindow::verifyAfterWritingToggled);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName("mnuHelp");
    addItem(help, "mnuViewDocs", tr("&View On-line Docs"), QKeySequence(),
            [this] { openManual(); });
    addItem(help, "mnuAbout", tr("&About VRXConfig"), QKeySequence(), [this] { showAbout(); });
}

void MainWindow::buildToolbar(const QStringList& pictureFolders) {
    tbrMain_ = addToolBar(tr("Commands"));
    tbrMain_->setObjectName("tbrMain");
    tbrMain_->setMovable(false);
    tbrMain_->setIconSize(QSize(kToolbarPictureSize, kToolbarPictureSize));
    tbrMain_->setToolButtonStyle(Qt::ToolButtonIconOnly);

    const ToolbarPictures pictures(pictureFolders);
    const auto addToolbarButton = [&](const QString& key, const QString& toolTip) {
        QAction* action = tbrMain_->addAction(pictures.picture(key, *style()), QString());
        action->setObjectName("tbrMain_" + key);
        action->setData(key);
        action->setToolTip(toolTip);
        action->setStatusTip(toolTip);
        connect(action, &QAction::triggered, this, [this, key] { toolbarButtonClicked(key); });
        return action;
    };
    toolbarCommands_[kLoadSlot] =
        addToolbarButton("load", tr("Open Previously Saved VRX Configuration"));
    // The save button's tip keeps the menu caption's "&", as the program always showed it.
    toolbarCommands_[kSaveSlot] = addToolbarButton("save", tr("&Save VRX Configuration to File"));
    tbrMain_->addSeparator();
    toolbarCommands_[kLoadOrganSlot] =
        addToolbarButton("loado", tr("Load Current Settings from the VRX"));
    toolbarCommands_[kWriteSlot] = addToolbarButton("write", tr("Write Program Data To VRX"));
    tbrMain_->addSeparator();
    tbrMain_->addSeparator();
    midiSetupCommands_[1] = addToolbarButton("midi", tr("Setup MIDI input and output devices"));
}

void MainWindow::toolbarButtonClicked(const QString& key) {
    // A choice still floating in the grid is part of what the button saves, writes or
    // asks to save before it is replaced, as with the menu's commands.
    if (key != "midi") {
        commitPendingEdit();
    }
    if (key == "load") {
        openFileCommand();
    } else if (key == "loado") {
        loadFromDeviceCommand();
    } else if (key == "save") {
        saveProgramDataFile();
    } else if (key == "write") {
        emit writeToDeviceRequested();
    } else if (key == "midi") {
        emit midiSetupRequested();
    }
}

void MainWindow::setCommandEnabled(int slot, bool enabled) {
    if (slot < 0 || slot >= kCommandSlots) {
        return;
    }
    commandWanted_[slot] = enabled;
    showCommandStates();
}

bool MainWindow::commandEnabled(int slot) const {
    return slot >= 0 && slot < kCommandSlots && menuCommands_[slot]->isEnabled();
}

void MainWindow::setUnitBusy(bool writeSending, bool talkingToUnit) {
    if (writeSending == writeSending_ && talkingToUnit == talkingToUnit_) {
        return;
    }
    writeSending_ = writeSending;
    talkingToUnit_ = talkingToUnit;
    showCommandStates();
}

bool MainWindow::midiSetupEnabled() const {
    return midiSetupCommands_[0]->isEnabled();
}

void MainWindow::showCommandStates() {
    for (int slot = 0; slot < kCommandSlots; ++slot) {
        const bool waitsForWrite = slot == kLoadOrganSlot || slot == kWriteSlot;
        const bool enabled = commandWanted_[slot] && !(waitsForWrite && writeSending_);
        menuCommands_[slot]->setEnabled(enabled);
        toolbarCommands_[slot]->setEnabled(enabled);
    }
    for (QAction* action : midiSetupCommands_) {
        action->setEnabled(!talkingToUnit_ && !writeSending_);
    }
}

void MainWindow::setInitialCommandState() {
    setCommandEnabled(kLoadSlot, true);
    setCommandEnabled(kSaveSlot, false);
    setCommandEnabled(kLoadOrganSlot, true);
    setCommandEnabled(kWriteSlot, false);
}

void MainWindow::enableAllCommands() {
    for (int slot = 0; slot < kCommandSlots; ++slot) {
        setCommandEnabled(slot, true);
    }
    // Once Save and Write can be used, what the window shows is a configuration to edit.
    setEditable(true);
}

void MainWindow::setVerifyAfterWriting(bool on) {
    verifyAfterWriting_->setChecked(on);
}

bool MainWindow::verifyAfterWriting() const {
    return verifyAfterWriting_->isChecked();
}

void MainWindow::loadFromDeviceCommand() {
    if (maybeSaveChanges()) {
        emit loadFromDeviceRequested();
    }
}

}  // namespace vrx
