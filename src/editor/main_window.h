#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/pin_list.h"
#include "model/program_data.h"
#include "model/program_edit.h"
#include "model/vocabulary.h"
#include "protocol/bytes.h"
#include "protocol/result.h"

class QAction;
class QMenu;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolBar;
class QUndoStack;

namespace vrx {

class ChannelPanel;
class EditorDialogs;
class GeneralSettingsPanel;
class PinGrid;

// What the editor window is built with.
struct EditorSetup {
    NameList instrumentNames;          // the Program Change list, from genmidi.txt
    EditorDialogs* dialogs = nullptr;  // not owned; null means the real Qt dialogs
    QStringList pictureFolders;        // where "<key>.bmp" is looked for; empty: the defaults
};

// The editor window `frmMain`. It owns the one ProgramData of the program; the channel
// rows, the pin grid and the general settings are views of it that write every choice
// into it at once. The device link and the program shell talk to it through the public
// methods below and listen to its signals.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The four command slots that the toolbar and the File menu share.
    enum CommandSlot { kLoadSlot = 0, kSaveSlot = 1, kLoadOrganSlot = 2, kWriteSlot = 3 };
    static constexpr int kCommandSlots = 4;

    static const QString kInitialTitle;        // "VRXConfig by Tallowmere"
    static const QString kFileFilter;          // "Tallowmere VRXConfig files (*.vrx)"
    static const QString kLoadFileTitle;       // "Loading Program Data From File"
    static const QString kSaveFileTitle;       // "Save Program Data To File"
    static const QString kRecentFilesCaption;  // "Recent &Files"

    explicit MainWindow(EditorSetup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    const ProgramData& programData() const { return data_; }

    // Replaces the configuration from an image of at least 256 bytes, shows it (the grid
    // is drawn once) and enables all four commands. A shorter image changes nothing.
    Status decodeProgramData(ByteView image);
    // File › New: a configuration of the initial values, to be edited and saved or
    // written like one opened.
    void newConfiguration();
    // The 260-byte image of the configuration as it is now. An edit still floating in
    // the grid is not part of it unless the caller commits it first.
    Bytes currentImage(std::uint8_t firmwareVersionByte) const;

    void setCommandEnabled(int slot, bool enabled);  // a slot outside 0..3 is ignored
    // What the user can use now: enabled, and not held back by the unit being busy.
    bool commandEnabled(int slot) const;
    // While a write is sending, Load and Write wait for it (its messages must all reach
    // the unit in order); while anything talks to the unit, MIDI I/O Setup waits too, as
    // changing the devices would cut the transfer off. They show greyed meanwhile.
    void setUnitBusy(bool writeSending, bool talkingToUnit);
    bool midiSetupEnabled() const;
    // Called while the window's exit is being confirmed: the window stays open, and
    // the shell closes the program later.
    void keepOpenForNow() { keepOpen_ = true; }
    void setInitialCommandState();
    void enableAllCommands();

    void commitPendingEdit();
    void checkMidiStopChannels();

    void setPinGridVisible(bool visible);
    void setTabScopeVisible(bool visible);

    // " - Editing File: name" after a save, " - Editing Program Data #n" after a load.
    void showEditingFileTitle(const QString& fileName);
    void showEditingProgramTitle(int program);
    // Every title goes through here: its own words, to which the window adds "*" while
    // there are unsaved changes.
    void showTitle(const QString& words);
    // The title as the window frame shows it.
    QString shownTitle() const;

    // Every edit of a view becomes one step of the undo history; a step that changes
    // nothing is none. Opening a file or loading from the unit starts a fresh history.
    void applyUserEdit(const ProgramEdit& edit);
    QUndoStack* undoStack() const { return undoStack_; }
    bool hasUnsavedChanges() const { return isWindowModified(); }
    // Whether a configuration has been opened or loaded, so that edits can be saved.
    bool editable() const { return editable_; }
    // Asked before the configuration is replaced while it has unsaved changes: Yes saves
    // first, No goes on, Cancel stays. True when the caller may go on.
    bool maybeSaveChanges();

    // Edit, Copy and Paste: whole rows of the current tab as tab-separated text.
    void copyRows();
    void pasteRows();

    // File, Compare with File…; and the list of differences between another
    // configuration, named `otherName`, and the editor's.
    void compareWithFile();
    void showComparison(const ProgramData& other, const QString& otherName);

    // The pin list of the configuration as it is now, for export and print.
    PinListSheet pinListSheet() const;
    void exportPinList();
    void printPinList();

    // "Load" or "New" from the start screen; consumed by the next activation.
    void setStartAction(const QString& action) { startAction_ = action; }
    QString startAction() const { return startAction_; }
    void runStartAction();

    QString lastDirectory() const { return lastDirectory_; }
    void setLastDirectory(const QString& folder) { lastDirectory_ = folder; }

    // Shown by the About box; set by the shell once the unit has told them.
    void setDeviceName(const QString& name) { deviceName_ = name; }
    void setFirmwareVersionText(const QString& text) { firmwareVersionText_ = text; }
    // Byte 21 of the unit's Identity Reply (0 before one arrived); files are saved with it.
    void setFirmwareVersionByte(std::uint8_t byte) { firmwareVersionByte_ = byte; }
    QString aboutText() const;

    // Every way of opening a configuration file ends here: File › Open after its dialog,
    // the command line, a second start handing its file over, File › Recent Files and a
    // file dropped on the window.
    void openConfigurationFile(const QString& path);
    // The check of Options > Verify After Writing, as the settings file keeps it.
    void setVerifyAfterWriting(bool on);
    bool verifyAfterWriting() const;

    void loadProgramDataFile();
    // True when the configuration was saved.
    bool saveProgramDataFile();
    void showAbout();
    // The manual at the address the settings name, else the user guide that comes with
    // the program.
    void openManual();
    void setManualAddress(const QString& address) { manualAddress_ = address; }
    // Whether the PC reaches the network now; a web address is not tried without it.
    // Unset: always reachable.
    void setNetworkCheck(std::function<bool()> reachable) {
        networkReachable_ = std::move(reachable);
    }
    // File › Recent Files, newest first; a file that is gone is shown greyed.
    void setRecentFiles(const QStringList& files);
    QMenu* recentFilesMenu() const { return recentFilesMenu_; }
    // The exit question, after the offer to save unsaved changes; Yes closes the window.
    void askToExit();

    // The toolbar dispatches its buttons by key: "load", "loado", "save", "write", "midi".
    void toolbarButtonClicked(const QString& key);

signals:
    void loadFromDeviceRequested();
    // File, Compare with the VRX…: the shell reads a program and calls showComparison.
    void compareWithDeviceRequested();
    void writeToDeviceRequested();
    void midiSetupRequested();
    // Options > Test MIDI Connection...
    void testMidiConnectionRequested();
    // File > Back Up All Programs... and Restore Programs...
    void backupAllRequested();
    void restoreProgramsRequested();
    // Options > Verify After Writing was checked or unchecked.
    void verifyAfterWritingToggled(bool on);
    // A file load has ended: programBlockCount is 1 when the file held a configuration
    // (now shown) and 0 when it held none or could not be read (the editor is unchanged).
    // A count of 0 comes with the reason the file held no configuration.
    void fileLoadFinished(int programBlockCount, const QString& loadedFileName,
                          const QString& refusalReason);
    // A configuration replaced the one shown: opened, loaded or new, with nothing unsaved.
    void configurationShown();
    // The user confirmed the exit; the window is closing.
    void exitConfirmed();
    // A file was opened or saved (full path): it leads the recent files now.
    void recentFileUsed(const QString& path);
    // Help asks for the user guide that comes with the program.
    void userGuideRequested();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildToolbar(const QStringList& pictureFolders);
    void buildCentralWidget();
    void buildEditMenu();
    void refreshViews();
    void setEditable(bool editable);
    void startHistory();
    void showClipboardCommands();
    void rememberAsSaved();
    void showWhetherModified();
    static QString lockMessage(const std::vector<int>& channels);
    void replaceWithUndo(const ProgramData& after, const QString& name);
    void openFileCommand();
    void loadFromDeviceCommand();
    void showCommandStates();
    void rememberFolderOf(const QString& path);
    // True when the user wants to leave: unsaved changes saved or given up, and the exit
    // question answered Yes.
    bool confirmExit();

    ProgramData data_;
    NameList instrumentNames_;
    std::unique_ptr<EditorDialogs> ownDialogs_;
    EditorDialogs* dialogs_ = nullptr;

    ChannelPanel* channelPanel_ = nullptr;
    PinGrid* pinGrid_ = nullptr;
    GeneralSettingsPanel* generalSettings_ = nullptr;
    QTabWidget* tabScope_ = nullptr;
    QLabel* lblMemory_ = nullptr;
    QLineEdit* memory_ = nullptr;
    QToolBar* tbrMain_ = nullptr;
    QMenu* recentFilesMenu_ = nullptr;
    std::array<QAction*, kCommandSlots> menuCommands_{};
    std::array<QAction*, kCommandSlots> toolbarCommands_{};
    QUndoStack* undoStack_ = nullptr;
    QAction* allPinsInList_ = nullptr;
    std::array<QAction*, 2> clipboardCommands_{};  // Copy and Paste
    Bytes savedImage_;                             // the configuration as last saved or loaded
    QString currentFileName_;  // the file opened or saved last, without its folder
    QString sheetName_;        // the file or program the configuration came from
    std::array<bool, kCommandSlots> commandWanted_{};
    std::array<QAction*, 2> midiSetupCommands_{};  // menu and toolbar
    bool writeSending_ = false;
    bool talkingToUnit_ = false;
    bool keepOpen_ = false;
    bool editable_ = false;
    QAction* verifyAfterWriting_ = nullptr;

    QString startAction_;
    QString lastDirectory_;
    QString deviceName_ = QStringLiteral("VRX");
    QString firmwareVersionText_;
    QString manualAddress_;
    std::function<bool()> networkReachable_;
    std::uint8_t firmwareVersionByte_ = 0;
    bool exitConfirmed_ = false;
};

}  // namespace vrx
