#include "ports/simulated_ports.h"

namespace vrx {
namespace {

bool knownDevice(int device, int first) {
    return device >= first && device <= 0;
}

}  // namespace

Result<std::string> SimulatedInput::deviceName(int device) {
    if (!knownDevice(device, 0)) {
        return Result<std::string>::failure("no simulated input " + std::to_string(device));
    }
    return std::string(kSimulatorDeviceName);
}

Status SimulatedInput::openDevice(int device, std::size_t /*receiveBufferBytes*/) {
    if (!knownDevice(device, 0)) {
        return Status::failure("no simulated input " + std::to_string(device));
    }
    return success();
}

Result<std::string> SimulatedOutput::deviceName(int device) {
    if (!knownDevice(device, kDefaultDevice)) {
        return Result<std::string>::failure("no simulated output " + std::to_string(device));
    }
    return std::string(kSimulatorDeviceName);
}

Status SimulatedOutput::openDevice(int device) {
    if (!knownDevice(device, kDefaultDevice)) {
        return Status::failure("no simulated output " + std::to_string(device));
    }
    return success();
}

Status SimulatedOutput::sendBytes(ByteView message) {
    unit_.receive(message);
    return success();
}

}  // namespace vrx
