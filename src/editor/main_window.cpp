// The editor window's frame: building it, its title, the About box, the manual and the
// exit question.
#include "editor/main_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

#include "editor/channel_panel.h"
#include "editor/editor_dialogs.h"
#include "editor/general_settings_panel.h"
#include "editor/pin_grid.h"
#include "editor/qt_editor_dialogs.h"
#include "editor/toolbar_pictures.h"
#include "editor/window_shared.h"
#include "model/program_image.h"

namespace vrx {

const QString MainWindow::kInitialTitle = QStringLiteral("VRXConfig by Tallowmere");
const QString MainWindow::kFileFilter = QStringLiteral("Tallowmere VRXConfig files (*.vrx)");
const QString MainWindow::kLoadFileTitle = QStringLiteral("Loading Program Data From File");
const QString MainWindow::kSaveFileTitle = QStringLiteral("Save Program Data To File");
const QString MainWindow::kRecentFilesCaption = QStringLiteral("Recent &Files");

namespace {

using window::kChannelTab;
using window::kTitleStem;

const QString kAboutTitle = QStringLiteral("VRXConfig");
const QString kManualTitle = QStringLiteral("VRXConfig Manual");
const QString kExitTitle = QStringLiteral("Shutting Down VRXConfig");
const QString kExitQuestion = QStringLiteral(
    "Are you sure you want to quit? Remember to write changes to the VRX to see your changes "
    "in action.");

constexpr int kMemoryMaxLength = 4;
constexpr int kMemoryBoxChars = 6;
constexpr int kMinimumWidth = 800;
constexpr int kMinimumHeight = 600;
constexpr int kStartWidth = 1024;
constexpr int kStartHeight = 768;

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
    // "*" shows whether the configuration differs from what was last saved or loaded,
    // however the history got there: an edit taken back by another is no change.
    connect(undoStack_, &QUndoStack::indexChanged, this, &MainWindow::showWhetherModified);
    savedImage_ = encodeProgramData(data_);
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

MainWindow::~MainWindow() {
    // The history is deleted with the window's children, after this window's own part
    // is gone: it must not tell the window about its last steps.
    undoStack_->disconnect(this);
}

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
    setEditable(false);

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
        showClipboardCommands();
    });
    layout->addWidget(tabScope_, 1);
    setCentralWidget(central);
}

Status MainWindow::decodeProgramData(ByteView image) {
    // A drop-down left open in the grid was meant for the configuration shown so far;
    // its choice must not land in the same row of the new one.
    pinGrid_->discardPendingEdit();
    auto decoded = vrx::decodeProgramData(image, data_);
    if (!decoded) {
        return decoded;
    }
    startHistory();
    return decoded;
}

void MainWindow::newConfiguration() {
    pinGrid_->discardPendingEdit();
    data_ = ProgramData{};
    startHistory();
    sheetName_.clear();
    showTitle(kInitialTitle);
    checkMidiStopChannels();
}

void MainWindow::startHistory() {
    refreshViews();
    enableAllCommands();
    // A new configuration starts a history of its own, with nothing unsaved.
    undoStack_->clear();
    currentFileName_.clear();
    rememberAsSaved();
    emit configurationShown();
}

void MainWindow::rememberAsSaved() {
    savedImage_ = encodeProgramData(data_);
    showWhetherModified();
}

void MainWindow::showWhetherModified() {
    // Compared as the file would hold them: an unassigned pin's channel and setting, or
    // the Program Number box, are not part of it.
    setWindowModified(encodeProgramData(data_) != savedImage_);
}

void MainWindow::setEditable(bool editable) {
    // Before a configuration is opened or loaded nothing could save an edit: the views
    // wait for one.
    editable_ = editable;
    channelPanel_->setEnabled(editable);
    pinGrid_->setEnabled(editable);
    generalSettings_->setEnabled(editable);
    showClipboardCommands();
}

Bytes MainWindow::currentImage(std::uint8_t firmwareVersionByte) const {
    return encodeProgramData(data_, firmwareVersionByte);
}

void MainWindow::refreshViews() {
    channelPanel_->refresh();
    pinGrid_->refresh();
    generalSettings_->refresh();
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

void MainWindow::askToExit() {
    if (!confirmExit()) {
        return;
    }
    exitConfirmed_ = true;
    close();
}

bool MainWindow::confirmExit() {
    commitPendingEdit();
    // Unsaved changes are offered a save first; the exit question itself only reminds
    // of the unit.
    return maybeSaveChanges() && dialogs_->askYesNo(this, kExitTitle, kExitQuestion);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window's close button asks the same questions as File, Exit.
    if (!exitConfirmed_) {
        if (!confirmExit()) {
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

}  // namespace vrx
