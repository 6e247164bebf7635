#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

#include "link/connection_check.h"
#include "protocol/midi_port.h"
#include "protocol/midi_setup.h"

class QPlainTextEdit;

namespace vrx::app {

// Options > Test MIDI Connection...: runs the connection check on the devices chosen in
// MIDI I/O Setup while it is open, and shows the verdict. The ports are the link's; they
// are closed again afterwards, and the link reopens them for its next exchange.
class frmConnectionCheck : public QDialog {
    Q_OBJECT
public:
    struct Context {
        MidiInput& input;
        MidiOutput& output;
        const MidiSetup& setup;
        const Clock& clock;
        std::string devices;  // "MIDI In #2 (...) and MIDI Out #3 (...)"
        // Gives the input back to the link once the check is over.
        std::function<void()> returnInput;
        int rounds = 10;
    };

    frmConnectionCheck(Context context, QWidget* parent = nullptr);
    ~frmConnectionCheck() override;

    QString shownText() const;
    bool finished() const { return check_.finished(); }
    // One step of the check: what arrived is taken in, waits end. The dialog's own
    // timer calls it; tests in virtual time call it themselves.
    void step();

private:
    void finish();

    Context context_;
    ConnectionCheck check_;
    QPlainTextEdit* txtResult_;
    QTimer timer_;
    bool over_ = false;
};

}  // namespace vrx::app
