#include "ports/chained_ports.h"

namespace vrx {

ChainedInput::ChainedInput(MidiInput& first, MidiInput& second) : first_(first), second_(second) {
    first_.setMessageHandler([this] { forward(first_); });
    second_.setMessageHandler([this] { forward(second_); });
}

Result<int> ChainedInput::deviceCount() {
    const auto second = second_.deviceCount();
    if (!second) {
        return second;
    }
    return deviceCountOrZero(first_) + *second;
}

Result<std::string> ChainedInput::deviceName(int device) {
    const int firstCount = deviceCountOrZero(first_);
    return device < firstCount ? first_.deviceName(device)
                               : second_.deviceName(device - firstCount);
}

void ChainedInput::dispatchEvents() {
    first_.dispatchEvents();
    second_.dispatchEvents();
}

void ChainedInput::forward(MidiInput& from) {
    std::vector<Bytes> messages;
    while (from.queuedMessageCount() > 0) {
        const auto& m = from.currentMessage();
        messages.push_back(m.sysex.empty() ? Bytes{m.status, m.data1, m.data2} : m.sysex);
        from.removeCurrentMessage();
    }
    if (&from == active_) {
        deliver(messages);
    }
}

Status ChainedInput::openDevice(int device, std::size_t receiveBufferBytes) {
    const int firstCount = deviceCountOrZero(first_);
    active_ = device < firstCount ? &first_ : &second_;
    active_->selectDevice(device < firstCount ? device : device - firstCount);
    active_->setReceiveBufferSize(receiveBufferBytes);
    auto opened = active_->open();
    if (!opened) {
        active_ = nullptr;
    }
    return opened;
}

void ChainedInput::closeDevice() {
    if (active_ != nullptr) {
        active_->close();
        active_ = nullptr;
    }
}

void ChainedInput::startDevice() {
    if (active_ != nullptr) {
        active_->start();
    }
}

void ChainedInput::stopDevice() {
    if (active_ != nullptr) {
        active_->stop();
    }
}

ChainedOutput::ChainedOutput(MidiOutput& first, MidiOutput& second)
    : first_(first), second_(second) {
    for (MidiOutput* port : {&first_, &second_}) {
        port->setErrorHandler(
            [this](int code, std::string message) { raiseError(code, std::move(message)); });
    }
}

Result<int> ChainedOutput::deviceCount() {
    const auto second = second_.deviceCount();
    if (!second) {
        return second;
    }
    return deviceCountOrZero(first_) + *second;
}

ChainedOutput::Target ChainedOutput::target(int device) {
    const int firstCount = deviceCountOrZero(first_);
    if (device == kDefaultDevice) {
        return firstCount > 0 ? Target{&first_, device} : Target{&second_, device};
    }
    return device < firstCount ? Target{&first_, device} : Target{&second_, device - firstCount};
}

Result<std::string> ChainedOutput::deviceName(int device) {
    const auto t = target(device);
    return t.port->deviceName(t.device);
}

void ChainedOutput::dispatchEvents() {
    first_.dispatchEvents();
    second_.dispatchEvents();
    MidiOutput::dispatchEvents();
}

Status ChainedOutput::openDevice(int device) {
    const auto t = target(device);
    t.port->selectDevice(t.device);
    auto opened = t.port->open();
    active_ = opened ? t.port : nullptr;
    return opened;
}

void ChainedOutput::closeDevice() {
    if (active_ != nullptr) {
        active_->close();
        active_ = nullptr;
    }
}

Status ChainedOutput::sendBytes(ByteView message) {
    if (active_ == nullptr) {
        return Status::failure("the MIDI output is not open");
    }
    return active_->sendSysex(message);
}

void ChainedOutput::stopDevice() {
    if (active_ != nullptr) {
        active_->stop();
    }
}

}  // namespace vrx
