#include "editor/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>
#include <utility>
#include <variant>

#include "editor/channel_panel.h"
#include "editor/compare_window.h"
#include "editor/editor_dialogs.h"
#include "editor/general_settings_panel.h"
#include "editor/pin_grid.h"
#include "editor/pin_list_export.h"
#include "editor/program_data_command.h"
#include "editor/qt_editor_dialogs.h"
#include "editor/toolbar_pictures.h"
#include "files/config_file.h"
#include "model/differences.h"
#include "model/program_image.h"
#include "model/row_clipboard.h"

namespace vrx {

const QString MainWindow::kInitialTitle = QStringLiteral("VRXConfig by Tallowmere");
const QString MainWindow::kFileFilter = QStringLiteral("Tallowmere VRXConfig files (*.vrx)");
const QString MainWindow::kLoadFileTitle = QStringLiteral("Loading Program Data From File");
const QString MainWindow::kSaveFileTitle = QStringLiteral("Save Program Data To File");
const QString MainWindow::kRecentFilesCaption = QStringLiteral("Recent &Files");

namespace {

const QString kTitleStem = QStringLiteral("VRXConfig");
const QString kAboutTitle = QStringLiteral("VRXConfig");
const QString kSaveErrorTitle = QStringLiteral("File Save Error!");
const QString kManualTitle = QStringLiteral("VRXConfig Manual");
const QString kExitTitle = QStringLiteral("Shutting Down VRXConfig");
const QString kExitQuestion = QStringLiteral(
    "Are you sure you want to quit? Remember to write changes to the VRX to see your changes "
    "in action.");
const QString kSaveChangesQuestion =
    QStringLiteral("Save the changes to the current configuration first?");
const QString kPasteTitle = QStringLiteral("Paste");
const QString kCompareFileTitle = QStringLiteral("Compare with File");
const QString kExportTitle = QStringLiteral("Export Pin List");
const QString kExportFilter =
    QStringLiteral("PDF files (*.pdf);;CSV files (*.csv);;HTML files (*.html)");

constexpr int kToolbarPictureSize = 24;
constexpr int kMemoryMaxLength = 4;
constexpr int kMemoryBoxChars = 6;
constexpr int kMinimumWidth = 800;
constexpr int kMinimumHeight = 600;
constexpr int kStartWidth = 1024;
constexpr int kStartHeight = 768;

enum Tab { kChannelTab = 0, kPinTab = 1, kGeneralTab = 2 };

// The one configuration file among dropped ones: a local *.vrx.
QString droppedConfigurationFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) {
        return {};
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".vrx"), Qt::CaseInsensitive)) {
            return url.toLocalFile();
        }
    }
    return {};
}

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QWidget* scrollable(QWidget* content) {
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

}  // namespace

MainWindow::MainWindow(EditorSetup setup, QWidget* parent)
    : QMainWindow(parent), instrumentNames_(std::move(setup.instrumentNames)) {
    setObjectName("frmMain");
    undoStack_ = new QUndoStack(this);
    connect(undoStack_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    showTitle(kInitialTitle);
    if (setup.dialogs) {
        dialogs_ = setup.dialogs;
    } else {
        ownDialogs_ = std::make_unique<QtEditorDialogs>();
        dialogs_ = ownDialogs_.get();
    }
    buildCentralWidget();
    buildMenus();
    buildToolbar(setup.pictureFolders.isEmpty() ? ToolbarPictures::defaultFolders()
                                                : setup.pictureFolders);
    setInitialCommandState();
    setAcceptDrops(true);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kStartWidth, kStartHeight);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildCentralWidget() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    lblMemory_ = new QLabel(tr("Program Number:"), central);
    lblMemory_->setObjectName("lblMemory");
    memory_ = new QLineEdit(QString::number(data_.programNumber), central);
    memory_->setObjectName("memory");
    memory_->setReadOnly(true);
    memory_->setMaxLength(kMemoryMaxLength);
    memory_->setFixedWidth(memory_->fontMetrics().averageCharWidth() * kMemoryBoxChars +
                           memory_->sizeHint().height());
    lblMemory_->setBuddy(memory_);
    lblMemory_->installEventFilter(this);
    auto* memoryRow = new QHBoxLayout;
    memoryRow->addWidget(lblMemory_);
    memoryRow->addWidget(memory_);
    memoryRow->addStretch(1);
    layout->addLayout(memoryRow);

    channelPanel_ = new ChannelPanel(data_);
    pinGrid_ = new PinGrid(data_, instrumentNames_);
    generalSettings_ = new GeneralSettingsPanel(data_);
    const auto sink = [this](const ProgramEdit& edit) { applyUserEdit(edit); };
    channelPanel_->setEditSink(sink);
    pinGrid_->setEditSink(sink);
    generalSettings_->setEditSink(sink);

    auto* pinFrame = new QGroupBox(tr("Pin Configuration"));
    pinFrame->setObjectName("fraDetailedPins");
    auto* pinLayout = new QVBoxLayout(pinFrame);
    pinLayout->addWidget(pinGrid_);

    tabScope_ = new QTabWidget(central);
    tabScope_->setObjectName("tabScope");
    tabScope_->addTab(scrollable(channelPanel_), tr("MIDI Channel Settings"));
    tabScope_->addTab(pinFrame, tr("Control Inputs"));
    tabScope_->addTab(scrollable(generalSettings_), tr("General Settings"));
    connect(tabScope_, &QTabWidget::currentChanged, this, [this](int index) {
        commitPendingEdit();
        if (index == kChannelTab) {
            checkMidiStopChannels();
        }
    });
    layout->addWidget(tabScope_, 1);
    setCentralWidget(central);
}

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

void MainWindow::buildEditMenu() {
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("mnuEdit");
    // The actions name the step they undo: "Undo Set Pin 17 Function". A choice still
    // floating in the grid is taken in first, so that it is the step undone.
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
            (undoStack_->*run)();
        });
        return action;
    };
    addStepAction("mnuUndo", tr("&Undo"), &QUndoStack::canUndoChanged, &QUndoStack::undoTextChanged,
                  &QUndoStack::undo)
        ->setShortcuts(QKeySequence::Undo);
    addStepAction("mnuRedo", tr("&Redo"), &QUndoStack::canRedoChanged, &QUndoStack::redoTextChanged,
                  &QUndoStack::redo)
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

void MainWindow::setVerifyAfterWriting(bool on) {
    verifyAfterWriting_->setChecked(on);
}

bool MainWindow::verifyAfterWriting() const {
    return verifyAfterWriting_->isChecked();
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
    if (key == "load") {
        openFileCommand();
    } else if (key == "loado") {
        pinGrid_->discardPendingEdit();
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
}

Status MainWindow::decodeProgramData(ByteView image) {
    // A drop-down left open in the grid was meant for the configuration shown so far;
    // its choice must not land in the same row of the new one.
    pinGrid_->discardPendingEdit();
    auto decoded = vrx::decodeProgramData(image, data_);
    if (!decoded) {
        return decoded;
    }
    refreshViews();
    enableAllCommands();
    // A new configuration starts a history of its own, with nothing unsaved.
    undoStack_->clear();
    setWindowModified(false);
    return decoded;
}

Bytes MainWindow::currentImage(std::uint8_t firmwareVersionByte) const {
    return encodeProgramData(data_, firmwareVersionByte);
}

void MainWindow::refreshViews() {
    channelPanel_->refresh();
    pinGrid_->refresh();
    generalSettings_->refresh();
}

void MainWindow::commitPendingEdit() {
    pinGrid_->commitPendingEdit();
}

void MainWindow::checkMidiStopChannels() {
    channelPanel_->checkMidiStopChannels();
}

void MainWindow::setPinGridVisible(bool visible) {
    pinGrid_->setVisible(visible);
}

void MainWindow::setTabScopeVisible(bool visible) {
    tabScope_->setVisible(visible);
}

void MainWindow::showTitle(const QString& words) {
    // "VRXConfig - Editing File: organ.vrx" and "... - Editing Program Data #5" name what
    // a printed pin list is of.
    const QString editing = kTitleStem + " - Editing ";
    if (words.startsWith(editing)) {
        sheetName_ = words.mid(editing.size());
        sheetName_.remove(QRegularExpression("^File: "));
    }
    // Qt shows "[*]" as "*" while the window is modified and as nothing otherwise.
    setWindowTitle(words + "[*]");
}

QString MainWindow::shownTitle() const {
    QString title = windowTitle();
    return title.replace("[*]", isWindowModified() ? "*" : "");
}

void MainWindow::showEditingFileTitle(const QString& fileName) {
    showTitle(kTitleStem + " - Editing File: " + fileName);
}

void MainWindow::showEditingProgramTitle(int program) {
    showTitle(kTitleStem + " - Editing Program Data #" + QString::number(program));
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

bool MainWindow::maybeSaveChanges() {
    if (!hasUnsavedChanges()) {
        return true;
    }
    switch (dialogs_->askYesNoCancel(this, kTitleStem, kSaveChangesQuestion)) {
        case EditorDialogs::Answer::Yes:
            return saveProgramDataFile();
        case EditorDialogs::Answer::No:
            return true;
        case EditorDialogs::Answer::Cancel:
            break;
    }
    return false;
}

void MainWindow::openFileCommand() {
    if (maybeSaveChanges()) {
        loadProgramDataFile();
    }
}

void MainWindow::loadFromDeviceCommand() {
    if (maybeSaveChanges()) {
        emit loadFromDeviceRequested();
    }
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

void MainWindow::compareWithFile() {
    commitPendingEdit();
    const QString path =
        dialogs_->askOpenFileName(this, kCompareFileTitle, kFileFilter, lastDirectory_);
    if (path.isEmpty()) {
        return;
    }
    rememberFolderOf(path);
    const QString name = QFileInfo(path).fileName();
    const ConfigFileContents contents = readConfigFile(localPath(path));
    if (const auto* image = std::get_if<Bytes>(&contents)) {
        if (const auto other = vrx::decodeProgramData(*image)) {
            showComparison(*other, name);
            return;
        }
    }
    dialogs_->showWarning(this, kCompareFileTitle, tr("%1 holds no VRX configuration.").arg(name));
}

void MainWindow::showComparison(const ProgramData& other, const QString& otherName) {
    auto* window =
        new CompareWindow(otherName, compareConfigurations(other, data_, instrumentNames_),
                          *dialogs_, lastDirectory_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

PinListSheet MainWindow::pinListSheet() const {
    const QString title = sheetName_.isEmpty() ? tr("VRX configuration") : sheetName_;
    return vrx::pinListSheet(data_, instrumentNames_, allPinsInList_->isChecked(),
                             title.toStdString(),
                             QDate::currentDate().toString(Qt::ISODate).toStdString());
}

void MainWindow::exportPinList() {
    commitPendingEdit();
    const QString path =
        dialogs_->askSaveFileName(this, kExportTitle, kExportFilter, lastDirectory_);
    if (path.isEmpty()) {
        return;
    }
    rememberFolderOf(path);
    const Status written = writePinListFile(path, pinListSheet());
    if (!written) {
        dialogs_->showWarning(this, kSaveErrorTitle,
                              QString::fromStdString(written.error()) + " : " + path);
    }
}

void MainWindow::printPinList() {
    commitPendingEdit();
    QPrinter printer(QPrinter::HighResolution);
    if (dialogs_->askPrinter(this, printer)) {
        vrx::printPinList(printer, pinListSheet());
    }
}

void MainWindow::runStartAction() {
    const QString action = std::exchange(startAction_, QString());
    if (action == "New") {
        emit loadFromDeviceRequested();
    } else if (action == "Load") {
        loadProgramDataFile();
    }
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !startAction_.isEmpty()) {
        // Run after the activation has been handled: the file dialog is modal.
        QTimer::singleShot(0, this, &MainWindow::runStartAction);
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblMemory_ && event->type() == QEvent::MouseButtonPress) {
        memory_->setFocus(Qt::MouseFocusReason);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QString MainWindow::aboutText() const {
    QStringList lines;
    lines << deviceName_ + "Config by Tallowmere ";
    lines << QStringLiteral("Version %1.%2.%3")
                 .arg(VRX_VERSION_MAJOR)
                 .arg(VRX_VERSION_MINOR)
                 .arg(VRX_VERSION_PATCH);
    if (!firmwareVersionText_.isEmpty()) {
        lines << "Firmware version: " + firmwareVersionText_;
    }
    lines << tr("Configures the inputs and MIDI channels of a VRX unit.");
    return lines.join('\n');
}

void MainWindow::showAbout() {
    dialogs_->showInformation(this, kAboutTitle, aboutText());
}

void MainWindow::openManual() {
    const QUrl address = QUrl::fromUserInput(manualAddress_);
    const bool onTheWeb =
        address.scheme() == QStringLiteral("http") || address.scheme() == QStringLiteral("https");
    // Without a network a browser would only show its own error page.
    if (manualAddress_.isEmpty() || (onTheWeb && networkReachable_ && !networkReachable_())) {
        emit userGuideRequested();
        return;
    }
    if (!dialogs_->openDocument(address)) {
        // The address may be mistyped or nothing may handle it: show it so it can be
        // copied, and open what is always there.
        dialogs_->showWarning(this, kManualTitle,
                              tr("The manual could not be opened. Its address is:\n%1\n\n"
                                 "The user guide that comes with VRXConfig opens instead.")
                                  .arg(manualAddress_));
        emit userGuideRequested();
    }
}

void MainWindow::setRecentFiles(const QStringList& files) {
    recentFilesMenu_->clear();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* action = recentFilesMenu_->addAction(
            QStringLiteral("&%1  %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        action->setEnabled(QFileInfo::exists(path));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] {
            commitPendingEdit();
            if (maybeSaveChanges()) {
                openConfigurationFile(path);
            }
        });
    }
    recentFilesMenu_->setEnabled(!files.isEmpty());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedConfigurationFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedConfigurationFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    commitPendingEdit();
    // The drag's source waits for the drop to end; the file opens after it.
    QTimer::singleShot(0, this, [this, path] {
        if (maybeSaveChanges()) {
            openConfigurationFile(path);
        }
    });
}

void MainWindow::askToExit() {
    commitPendingEdit();
    if (!dialogs_->askYesNo(this, kExitTitle, kExitQuestion)) {
        return;
    }
    exitConfirmed_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window's close button asks the same question as File, Exit.
    if (!exitConfirmed_) {
        commitPendingEdit();
        if (!dialogs_->askYesNo(this, kExitTitle, kExitQuestion)) {
            event->ignore();
            return;
        }
        exitConfirmed_ = true;
    }
    emit exitConfirmed();
    if (std::exchange(keepOpen_, false)) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::rememberFolderOf(const QString& path) {
    lastDirectory_ = QFileInfo(path).absolutePath();
    if (!lastDirectory_.endsWith('/')) {
        lastDirectory_ += '/';
    }
}

void MainWindow::loadProgramDataFile() {
    const QString path =
        dialogs_->askOpenFileName(this, kLoadFileTitle, kFileFilter, lastDirectory_);
    if (path.isEmpty()) {
        return;
    }
    openConfigurationFile(path);
}

void MainWindow::openConfigurationFile(const QString& path) {
    rememberFolderOf(path);
    int programBlockCount = 0;
    // A file that cannot be read or converted counts as one without a data line: the
    // user hears that it was no configuration, and the editor keeps what it shows.
    const ConfigFileContents contents = readConfigFile(localPath(path));
    if (const auto* image = std::get_if<Bytes>(&contents)) {
        if (decodeProgramData(*image)) {
            programBlockCount = 1;
            sheetName_ = QFileInfo(path).fileName();
        }
    }
    checkMidiStopChannels();
    if (programBlockCount > 0) {
        // The window names what is being edited now, whatever it edited before.
        showEditingFileTitle(QFileInfo(path).fileName());
        emit recentFileUsed(QFileInfo(path).absoluteFilePath());
    }
    emit fileLoadFinished(programBlockCount, QFileInfo(path).fileName());
}

bool MainWindow::saveProgramDataFile() {
    const QString chosen =
        dialogs_->askSaveFileName(this, kSaveFileTitle, kFileFilter, lastDirectory_);
    if (chosen.isEmpty()) {
        return false;
    }
    rememberFolderOf(chosen);
    const std::filesystem::path path = withVrxExtension(localPath(chosen));
    const QString shownPath = QFile::decodeName(QByteArray::fromStdString(path.string()));
    const Status written = writeConfigFile(path, currentImage(firmwareVersionByte_));
    if (!written) {
        dialogs_->showWarning(this, kSaveErrorTitle,
                              QString::fromStdString(written.error()) + " : " + shownPath);
        return false;
    }
    showEditingFileTitle(QFileInfo(shownPath).fileName());
    emit recentFileUsed(QFileInfo(shownPath).absoluteFilePath());
    undoStack_->setClean();
    return true;
}

}  // namespace vrx
