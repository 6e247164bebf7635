#pragma once

#include "protocol/midi_port.h"

namespace vrx {

// The devices of one port followed by those of another, as one port: this is how the
// simulated unit is listed after the real devices. A first port whose device list
// fails counts as having no devices, so the second still works on a machine without
// MIDI.
class ChainedInput final : public MidiInput {
public:
    ChainedInput(MidiInput& first, MidiInput& second);
    Result<int> deviceCount() override;
    Result<std::string> deviceName(int device) override;
    void dispatchEvents() override;

protected:
    Status openDevice(int device, std::size_t receiveBufferBytes) override;
    void closeDevice() override;
    void startDevice() override;
    void stopDevice() override;

private:
    void forward(MidiInput& from);

    MidiInput& first_;
    MidiInput& second_;
    MidiInput* active_ = nullptr;
};

// Device -1, the default output, is the first port's when it has devices, else the
// second's.
class ChainedOutput final : public MidiOutput {
public:
    ChainedOutput(MidiOutput& first, MidiOutput& second);
    Result<int> deviceCount() override;
    Result<std::string> deviceName(int device) override;
    void dispatchEvents() override;

protected:
    Status openDevice(int device) override;
    void closeDevice() override;
    Status sendBytes(ByteView message) override;
    void stopDevice() override;

private:
    struct Target {
        MidiOutput* port;
        int device;
    };
    Target target(int device);

    MidiOutput& first_;
    MidiOutput& second_;
    MidiOutput* active_ = nullptr;
};

}  // namespace vrx
