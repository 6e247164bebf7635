#pragma once

#include <vector>

#include "ports/simulated_unit.h"
#include "protocol/midi_port.h"

namespace vrx {

inline constexpr const char* kSimulatorDeviceName = "VRX Simulator";

// Real-time bytes (F8 to FF) may come anywhere on the line, inside a SysEx message too;
// MIDI drivers hand them over as messages of their own, ahead of the message they
// interrupted.
inline constexpr std::uint8_t kFirstRealTimeStatus = 0xF8;
std::vector<Bytes> separateRealTimeBytes(const std::vector<Bytes>& arrived);

// The MIDI cable to and from a simulated unit, as one input and one output device.
class SimulatedInput final : public MidiInput {
public:
    explicit SimulatedInput(SimulatedUnit& unit) : unit_(unit) {}
    Result<int> deviceCount() override { return 1; }
    Result<std::string> deviceName(int device) override;
    // Takes what has arrived on the cable by now.
    void dispatchEvents() override { deliver(separateRealTimeBytes(unit_.takeArrived())); }

protected:
    Status openDevice(int device, std::size_t receiveBufferBytes) override;
    void closeDevice() override {}

private:
    SimulatedUnit& unit_;
};

class SimulatedOutput final : public MidiOutput {
public:
    explicit SimulatedOutput(SimulatedUnit& unit) : unit_(unit) {}
    Result<int> deviceCount() override { return 1; }
    Result<std::string> deviceName(int device) override;

protected:
    Status openDevice(int device) override;
    void closeDevice() override {}
    Status sendBytes(ByteView message) override;

private:
    SimulatedUnit& unit_;
};

}  // namespace vrx
