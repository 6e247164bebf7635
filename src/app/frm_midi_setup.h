#pragma once

#include <QDialog>
#include <functional>

#include "protocol/midi_port.h"
#include "protocol/midi_setup.h"

class QComboBox;

namespace vrx {
class ProgramSettings;
}

namespace vrx::app {

// "MIDI I/O Setup": which MIDI input and output talk to the unit. The lists are built
// when the dialog loads; OK keeps the dialog (hidden) and its lists for the next
// opening, Cancel unloads it.
class frmMIDISetup : public QDialog {
    Q_OBJECT
public:
    struct Context {
        MidiInput& input;
        MidiOutput& output;
        MidiSetup& setup;
        ProgramSettings& settings;
        // "MIDI I/O Error..." when the devices cannot be listed.
        std::function<void(const QString&)> showError;
        std::function<void(std::string_view)> writeLog;
        // Why the MIDI devices cannot all be listed, empty when they can; a chain of
        // ports that includes the simulated unit lists it even without a MIDI service.
        std::function<std::string()> devicesError;
        // The status window is hidden whenever this dialog becomes active.
        std::function<void()> hideStatus;
    };

    frmMIDISetup(Context context, QWidget* parent = nullptr);

    // Shows the dialog modally; afterwards the setup says whether it was confirmed.
    void runModal();

    QComboBox* inputList() const { return ComboMidiIn_; }
    QComboBox* outputList() const { return ComboMidiOut_; }

private:
    void fillLists();
    void accept() override;
    void reject() override;

    Context context_;
    QComboBox* ComboMidiIn_;
    QComboBox* ComboMidiOut_;
};

}  // namespace vrx::app
