#pragma once

#include <functional>
#include <memory>

#include "ports/incoming_mailbox.h"
#include "protocol/midi_port.h"

namespace vrx {

// The computer's MIDI devices through Windows' own MIDI service (WinMM). A machine
// without any MIDI device of a kind gets a failed device list for it, as a machine
// without a MIDI service does elsewhere. Windows lets one program at a time use a
// port: a port held by another program is named as such when it cannot be opened.
class WinmmInput final : public MidiInput {
public:
    // `notifier` runs on WinMM's thread when messages are waiting; it must make
    // dispatchEvents run on the user-interface thread.
    explicit WinmmInput(std::function<void()> notifier);
    ~WinmmInput() override;

    Result<int> deviceCount() override;
    Result<std::string> deviceName(int device) override;
    void dispatchEvents() override;

protected:
    Status openDevice(int device, std::size_t receiveBufferBytes) override;
    void closeDevice() override;

private:
    struct Driver;

    IncomingMailbox mailbox_;
    std::unique_ptr<Driver> driver_;  // last: closed before the mailbox goes
};

class WinmmOutput final : public MidiOutput {
public:
    WinmmOutput();
    ~WinmmOutput() override;

    Result<int> deviceCount() override;
    // Device -1 is Windows' MIDI mapper, which plays through the device the user chose
    // in the system's settings.
    Result<std::string> deviceName(int device) override;
    void dispatchEvents() override;

protected:
    Status openDevice(int device) override;
    void closeDevice() override;
    Status sendBytes(ByteView message) override;

private:
    struct Driver;

    std::unique_ptr<Driver> driver_;
};

}  // namespace vrx

namespace vrx {

// Why WinMM could not open a port (`what`, "MIDI input device 2"), from its result code.
std::string winmmOpenFailureText(const std::string& what, unsigned result, bool input);

}  // namespace vrx
