#pragma once

#include <functional>
#include <memory>

#include "ports/incoming_mailbox.h"
#include "protocol/midi_api.h"
#include "protocol/midi_port.h"

namespace vrx {

// The computer's MIDI devices through RtMidi, on the chosen MIDI service (the ALSA
// sequencer or a JACK server on Linux; WinMM, CoreMIDI elsewhere). Every RtMidi error
// becomes a failed result; a machine without the MIDI service gets failed device lists
// that say which service is missing, never an exception, a crash or a word on stderr.
// A service found missing once stays missing for the run: asking again would only
// repeat the driver's complaints on stderr.
class RtMidiInput final : public MidiInput {
public:
    // `notifier` runs on the driver's thread when messages are waiting; it must make
    // dispatchEvents run on the user-interface thread.
    explicit RtMidiInput(std::function<void()> notifier, MidiApi api = MidiApi::kAlsa);
    ~RtMidiInput() override;

    Result<int> deviceCount() override;
    Result<std::string> deviceName(int device) override;
    void dispatchEvents() override;

protected:
    Status openDevice(int device, std::size_t receiveBufferBytes) override;
    void closeDevice() override;

private:
    struct Driver;
    Status ensureDriver();

    IncomingMailbox mailbox_;
    std::string unavailable_;         // why the MIDI service could not be reached
    std::unique_ptr<Driver> driver_;  // last: its thread stops before the mailbox goes
};

class RtMidiOutput final : public MidiOutput {
public:
    explicit RtMidiOutput(MidiApi api = MidiApi::kAlsa);
    ~RtMidiOutput() override;

    Result<int> deviceCount() override;
    // Device -1 is the first device: the platform has no default output of its own.
    Result<std::string> deviceName(int device) override;

protected:
    Status openDevice(int device) override;
    void closeDevice() override;
    Status sendBytes(ByteView message) override;

private:
    struct Driver;

    std::unique_ptr<Driver> driver_;
};

}  // namespace vrx
