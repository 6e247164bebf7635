#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "app/frm_midi_setup.h"
#include "app/frm_prompt.h"
#include "link/link_view.h"
#include "protocol/midi_port.h"

namespace vrx {
class DeviceLink;
class LogFile;
class MainWindow;
class ProgramSettings;
}  // namespace vrx

namespace vrx::app {

class frmStatus;

// The device link's windows: the status window, the prompt, the MIDI I/O Setup dialog,
// message boxes and the editor.
class QtLinkView final : public LinkView {
public:
    struct Windows {
        MainWindow& main;
        frmStatus& status;
        MidiInput& input;
        MidiOutput& output;
        ProgramSettings& settings;
        const LogFile& log;
        // Why the platform's MIDI devices cannot be listed, empty when they can.
        std::function<std::string()> devicesError;
        // A message box with an OK button and the program's title; tests answer it.
        std::function<void(const QString&)> showMessage;
    };

    explicit QtLinkView(Windows windows);
    ~QtLinkView() override;

    // The link whose unit identity the About box and the file save show.
    void attach(const DeviceLink& link) { link_ = &link; }
    // Where a backup's programs go as they arrive.
    void setProgramReadHandler(std::function<void(int, ByteView)> handler) {
        programReadHandler_ = std::move(handler);
    }
    // A window kept in front of the status window while it is open (a backup's progress).
    void keepInFrontOfStatus(QWidget* window) { inFront_ = window; }

    void setStatusText(std::string text) override;
    void appendStatusText(std::string_view text) override;
    void setStatusCaption(std::string caption) override;
    void centreStatus() override;
    void showStatus() override;
    void hideStatus() override;
    bool statusVisible() const override;
    void closeStatus() override;

    int askProgramNumber(std::string_view title, ProgramPrompt& prompt) override;
    void showMidiSetup(MidiSetup& setup) override;
    void showMessage(std::string text) override;

    void showPinGrid() override;
    void setTabScopeVisible(bool visible) override;
    void setWindowTitle(std::string title) override;
    void enableAllCommands() override;
    void checkMidiStopChannels() override;

    void decodeIntoEditor(ByteView programData) override;
    Bytes currentImage(std::uint8_t firmwareVersionByte) override;
    void programRead(int programNumber, ByteView programData) override;

    void writeLog(std::string_view line) override;

    // The dialogs, once they exist (for tests that answer them).
    frmPrompt* promptWindow() const { return prompt_; }
    frmMIDISetup* midiSetupWindow() const { return midiSetup_; }

private:
    Windows windows_;
    const DeviceLink* link_ = nullptr;
    std::function<void(int, ByteView)> programReadHandler_;
    QPointer<frmPrompt> prompt_;
    QPointer<frmMIDISetup> midiSetup_;
    QPointer<QWidget> inFront_;
};

}  // namespace vrx::app
