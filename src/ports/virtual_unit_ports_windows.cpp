#include "ports/virtual_unit_ports.h"

namespace vrx {

// WinMM lets a program open the devices the system has, not make ports of its own for
// other programs to find.
struct VirtualUnitPorts::Driver {};

Result<std::unique_ptr<VirtualUnitPorts>> VirtualUnitPorts::open(MidiApi /*api*/,
                                                                 const std::string& /*name*/) {
    return Result<std::unique_ptr<VirtualUnitPorts>>::failure(
        "Windows has no MIDI ports a program can make for others: serve the simulated unit "
        "from Linux, or use --simulator");
}

VirtualUnitPorts::VirtualUnitPorts(std::unique_ptr<Driver> driver) : driver_(std::move(driver)) {}

VirtualUnitPorts::~VirtualUnitPorts() = default;

std::vector<VirtualUnitPorts::Received> VirtualUnitPorts::takeReceived() {
    return {};
}

Status VirtualUnitPorts::send(ByteView /*message*/) {
    return Status::failure("no ports");
}

}  // namespace vrx
