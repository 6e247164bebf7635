#include "editor/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>
#include <utility>
#include <variant>

#include "editor/channel_panel.h"
#include "editor/editor_dialogs.h"
#include "editor/general_settings_panel.h"
#include "editor/pin_grid.h"
#include "editor/qt_editor_dialogs.h"
#include "editor/toolbar_pictures.h"
#include "files/config_file.h"
#include "model/program_image.h"

namespace vrx {

const QString MainWindow::kInitialTitle = QStringLiteral("VRXConfig by Tallowmere");
const QString MainWindow::kFileFilter = QStringLiteral("Tallowmere VRXConfig files (*.vrx)");
const QString MainWindow::kLoadFileTitle = QStringLiteral("Loading Program Data From File");
const QString MainWindow::kSaveFileTitle = QStringLiteral("Save Program Data To File");
const QString MainWindow::kManualAddress =
    QStringLiteral("https://www.tallowmere.com/support/VRX manual 1.5.pdf");

namespace {

const QString kTitleStem = QStringLiteral("VRXConfig");
const QString kAboutTitle = QStringLiteral("VRXConfig");
const QString kSaveErrorTitle = QStringLiteral("File Save Error!");
const QString kExitTitle = QStringLiteral("Shutting Down VRXConfig");
const QString kExitQuestion = QStringLiteral(
    "Are you sure you want to quit? Remember to write changes to the VRX to see your changes "
    "in action.");

constexpr int kToolbarPictureSize = 24;
constexpr int kMemoryMaxLength = 4;
constexpr int kMemoryBoxChars = 6;
constexpr int kMinimumWidth = 800;
constexpr int kMinimumHeight = 600;
constexpr int kStartWidth = 1024;
constexpr int kStartHeight = 768;

enum Tab { kChannelTab = 0, kPinTab = 1, kGeneralTab = 2 };

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
    setWindowTitle(kInitialTitle);
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
                    loadProgramDataFile();
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
                    emit loadFromDeviceRequested();
                });
    menuCommands_[kWriteSlot] = addItem(file, "mnuWrite", tr("&Write Program Data To VRX"),
                                        QKeySequence(Qt::CTRL | Qt::Key_W), [this] {
                                            commitPendingEdit();
                                            emit writeToDeviceRequested();
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
        loadProgramDataFile();
    } else if (key == "loado") {
        pinGrid_->discardPendingEdit();
        emit loadFromDeviceRequested();
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

void MainWindow::showEditingFileTitle(const QString& fileName) {
    setWindowTitle(kTitleStem + " - Editing File: " + fileName);
}

void MainWindow::showEditingProgramTitle(int program) {
    setWindowTitle(kTitleStem + " - Editing Program Data #" + QString::number(program));
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
    dialogs_->openDocument(QUrl(kManualAddress));
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
    rememberFolderOf(path);
    int programBlockCount = 0;
    // A file that cannot be read or converted counts as one without a data line: the
    // user hears that it was no configuration, and the editor keeps what it shows.
    const ConfigFileContents contents = readConfigFile(localPath(path));
    if (const auto* image = std::get_if<Bytes>(&contents)) {
        if (decodeProgramData(*image)) {
            programBlockCount = 1;
        }
    }
    checkMidiStopChannels();
    emit fileLoadFinished(programBlockCount, QFileInfo(path).fileName());
}

void MainWindow::saveProgramDataFile() {
    const QString chosen =
        dialogs_->askSaveFileName(this, kSaveFileTitle, kFileFilter, lastDirectory_);
    if (chosen.isEmpty()) {
        return;
    }
    rememberFolderOf(chosen);
    const std::filesystem::path path = withVrxExtension(localPath(chosen));
    const QString shownPath = QFile::decodeName(QByteArray::fromStdString(path.string()));
    const Status written = writeConfigFile(path, currentImage(firmwareVersionByte_));
    if (!written) {
        dialogs_->showWarning(this, kSaveErrorTitle,
                              QString::fromStdString(written.error()) + " : " + shownPath);
        return;
    }
    showEditingFileTitle(QFileInfo(shownPath).fileName());
}

}  // namespace vrx
