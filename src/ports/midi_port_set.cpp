#include "ports/midi_port_set.h"

#include "ports/chained_ports.h"
#include "ports/simulated_ports.h"
#include "ports/system_ports.h"
#include "protocol/midi_setup.h"

namespace vrx {

MidiPortSet::MidiPortSet(const Clock& clock, MidiPortOptions options) {
    realInput_ = makeSystemMidiInput(std::move(options.notifier), options.api);
    realOutput_ = makeSystemMidiOutput(options.api);
    if (!options.withSimulator) {
        return;
    }
    unit_ = std::make_unique<SimulatedUnit>(clock, options.simulator);
    simulatedInput_ = std::make_unique<SimulatedInput>(*unit_);
    simulatedOutput_ = std::make_unique<SimulatedOutput>(*unit_);
    input_ = std::make_unique<ChainedInput>(*realInput_, *simulatedInput_);
    output_ = std::make_unique<ChainedOutput>(*realOutput_, *simulatedOutput_);
}

MidiPortSet::~MidiPortSet() {
    // However the program ends, its ports go back to the system; the input first, as
    // closing it waits for the driver's thread to leave.
    input().close();
    output().close();
    // The chains refer to the ports they join.
    input_.reset();
    output_.reset();
}

std::string MidiPortSet::realDevicesError() {
    if (const auto inputs = realInput_->deviceCount(); !inputs) {
        return inputs.error();
    }
    if (const auto outputs = realOutput_->deviceCount(); !outputs) {
        return outputs.error();
    }
    return {};
}

int MidiPortSet::simulatorInputPosition() {
    return unit_ ? inputPositionForDevice(deviceCountOrZero(*realInput_)) : 0;
}

int MidiPortSet::simulatorOutputPosition() {
    return unit_ ? outputPositionForDevice(deviceCountOrZero(*realOutput_)) : 0;
}

}  // namespace vrx
