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
    if (!unit_.cableCarriesNextMessage()) {
        return Status::failure("the MIDI output " + std::string(kSimulatorDeviceName) + " is gone");
    }
    unit_.receive(message);
    return success();
}

std::vector<Bytes> separateRealTimeBytes(const std::vector<Bytes>& arrived) {
    std::vector<Bytes> messages;
    for (const auto& message : arrived) {
        Bytes rest;
        for (const auto byte : message) {
            if (byte >= kFirstRealTimeStatus && message.size() > 1) {
                messages.push_back({byte});
            } else {
                rest.push_back(byte);
            }
        }
        if (!rest.empty()) {
            messages.push_back(std::move(rest));
        }
    }
    return messages;
}

}  // namespace vrx
