#pragma once

#include <string>

#include <functional>
#include <memory>

#include "ports/simulated_unit.h"
#include "protocol/clock.h"
#include "protocol/midi_api.h"
#include "protocol/midi_port.h"

namespace vrx {

struct MidiPortOptions {
    // The service the real devices are reached through.
    MidiApi api = MidiApi::kAlsa;
    // List a simulated unit as the last input and output device, after the real ones.
    bool withSimulator = false;
    SimulatedUnitSettings simulator;
    // Runs on the MIDI driver's thread when input is waiting; it must make
    // DeviceLink::dispatchMidiEvents (or the ports' dispatchEvents) run on the
    // user-interface thread. May be empty when the caller polls.
    std::function<void()> notifier;
};

// The input and output the program talks through, built once for the whole run.
class MidiPortSet {
public:
    MidiPortSet(const Clock& clock, MidiPortOptions options);
    ~MidiPortSet();
    MidiPortSet(const MidiPortSet&) = delete;
    MidiPortSet& operator=(const MidiPortSet&) = delete;

    MidiInput& input() { return input_ ? *input_ : *realInput_; }
    MidiOutput& output() { return output_ ? *output_ : *realOutput_; }
    // Why the platform's MIDI devices cannot be listed (no MIDI service, say); empty
    // when they can. The simulated unit is listed either way.
    std::string realDevicesError();
    // Null unless the simulator was asked for.
    SimulatedUnit* simulatedUnit() { return unit_.get(); }
    // The list positions of the simulated unit, as the MIDI I/O Setup dialog numbers
    // them (0 without the simulator).
    int simulatorInputPosition();
    int simulatorOutputPosition();

private:
    std::unique_ptr<SimulatedUnit> unit_;
    std::unique_ptr<MidiInput> realInput_;
    std::unique_ptr<MidiOutput> realOutput_;
    std::unique_ptr<MidiInput> simulatedInput_;
    std::unique_ptr<MidiOutput> simulatedOutput_;
    std::unique_ptr<MidiInput> input_;
    std::unique_ptr<MidiOutput> output_;
};

}  // namespace vrx
