#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/program_prompt.h"
#include "protocol/bytes.h"
#include "protocol/midi_setup.h"

namespace vrx {

// What the device link needs from the windows. The program implements it with its
// status window, dialogs and editor; vrxtool with text on stderr; the tests with a
// recorder that keeps every call.
class LinkView {
public:
    virtual ~LinkView() = default;

    // The status window (frmStatus).
    virtual void setStatusText(std::string text) = 0;
    virtual void appendStatusText(std::string_view text) = 0;
    virtual void setStatusCaption(std::string caption) = 0;
    virtual void centreStatus() = 0;  // over the main window
    virtual void showStatus() = 0;
    virtual void hideStatus() = 0;
    virtual bool statusVisible() const = 0;
    // Unloads the window: it is hidden and its text is emptied.
    virtual void closeStatus() = 0;

    // Modal dialogs. The link has opened `prompt` with the unit's DIP setting; the
    // dialog shows it, forwards its events to it and returns prompt.result() once it
    // has closed. The MIDI device dialog sets midiConfigured, midiSetupCancelled and
    // the port positions in `setup`.
    virtual int askProgramNumber(std::string_view title, ProgramPrompt& prompt) = 0;
    virtual void showMidiSetup(MidiSetup& setup) = 0;
    // A message box with an OK button and the default title.
    virtual void showMessage(std::string text) = 0;

    // The main window.
    virtual void showPinGrid() = 0;  // gridPins
    virtual void setTabScopeVisible(bool visible) = 0;
    virtual void setWindowTitle(std::string title) = 0;
    virtual void enableAllCommands() = 0;
    virtual void checkMidiStopChannels() = 0;

    // The editor owns the configuration: a load hands it the gathered Program Data
    // (256 bytes or more) to decode, a write asks it for the image to send.
    virtual void decodeIntoEditor(ByteView programData) = 0;
    virtual Bytes currentImage(std::uint8_t firmwareVersionByte) = 0;
    // A backup hands over every program it has read, numbered from 1.
    virtual void programRead(int programNumber, ByteView programData) = 0;

    // One line of the optional log.
    virtual void writeLog(std::string_view line) = 0;
};

}  // namespace vrx
