#include "app/qt_link_view.h"

#include "app/centring.h"
#include "app/frm_midi_setup.h"
#include "app/frm_prompt.h"
#include "app/frm_status.h"
#include "editor/main_window.h"
#include "files/log_file.h"
#include "link/device_link.h"
#include "model/program_image.h"

namespace vrx::app {
namespace {
QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

QtLinkView::QtLinkView(Windows windows) : windows_(std::move(windows)) {}

QtLinkView::~QtLinkView() {
    delete prompt_;
    delete midiSetup_;
}

void QtLinkView::setStatusText(std::string text) {
    windows_.status.setStatusText(fromStd(text));
}

void QtLinkView::appendStatusText(std::string_view text) {
    windows_.status.appendStatusText(fromStd(text));
}

void QtLinkView::setStatusCaption(std::string caption) {
    windows_.status.setWindowTitle(fromStd(caption));
}

void QtLinkView::centreStatus() {
    centreOver(windows_.status, &windows_.main);
}

void QtLinkView::showStatus() {
    windows_.status.show();
    windows_.status.raise();
    if (inFront_ && inFront_->isVisible()) {
        inFront_->raise();
        inFront_->activateWindow();
    }
}

void QtLinkView::hideStatus() {
    windows_.status.hide();
}
bool QtLinkView::statusVisible() const {
    return windows_.status.isVisible();
}
void QtLinkView::closeStatus() {
    windows_.status.unload();
}

int QtLinkView::askProgramNumber(std::string_view title, ProgramPrompt& prompt) {
    if (!prompt_) {
        // Created on first use and kept: the last choice is still there next time.
        prompt_ = new frmPrompt(&windows_.main);
    }
    if (link_) {
        // The unit has just introduced itself: the About box and later saves use it.
        windows_.main.setFirmwareVersionText(QString::fromStdString(link_->firmwareVersionText()));
        windows_.main.setFirmwareVersionByte(link_->firmwareVersionByte());
    }
    return prompt_->askProgramNumber(title, prompt);
}

void QtLinkView::showMidiSetup(MidiSetup& setup) {
    if (!midiSetup_) {
        midiSetup_ = new frmMIDISetup(
            frmMIDISetup::Context{windows_.input, windows_.output, setup, windows_.settings,
                                  windows_.showMessage,
                                  [this](std::string_view line) { writeLog(line); },
                                  windows_.devicesError, [this] { hideStatus(); }},
            &windows_.main);
    }
    midiSetup_->runModal();
}

void QtLinkView::showMessage(std::string text) {
    windows_.showMessage(fromStd(text));
}

void QtLinkView::showPinGrid() {
    windows_.main.setPinGridVisible(true);
}
void QtLinkView::setTabScopeVisible(bool visible) {
    // The tabs are hidden only for a file that held no configuration; but such a file
    // changed nothing, and the editor must go on showing what it had.
    if (visible) {
        windows_.main.setTabScopeVisible(true);
    }
}
void QtLinkView::setWindowTitle(std::string title) {
    windows_.main.showTitle(fromStd(title));
}
void QtLinkView::enableAllCommands() {
    // After a file that could not be read the commands stay as they were: Save and
    // Write have nothing new to store.
    if (link_ && link_->operationMarker() == kMarkerFile && link_->programBlockCount() < 1) {
        return;
    }
    windows_.main.enableAllCommands();
}
void QtLinkView::checkMidiStopChannels() {
    windows_.main.checkMidiStopChannels();
}

void QtLinkView::decodeIntoEditor(ByteView programData) {
    // The link hands over at least 256 bytes, so the editor never refuses them.
    (void)windows_.main.decodeProgramData(programData);
}

Bytes QtLinkView::currentImage(std::uint8_t firmwareVersionByte) {
    return windows_.main.currentImage(firmwareVersionByte);
}

void QtLinkView::programRead(int programNumber, ByteView programData) {
    // A backup or restore takes every program it reads; otherwise the window has read a
    // program to compare it with the editor's configuration.
    if (programReadHandler_) {
        programReadHandler_(programNumber, programData);
        return;
    }
    if (const auto other = vrx::decodeProgramData(programData)) {
        windows_.main.showComparison(*other, QStringLiteral("Program Data #%1").arg(programNumber));
    }
}

void QtLinkView::writeLog(std::string_view line) {
    windows_.log.writeLog(line);
}

}  // namespace vrx::app
