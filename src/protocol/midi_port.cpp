#include "protocol/midi_port.h"

#include "protocol/messages.h"

namespace vrx {
Status MidiInput::open() {
    auto opened = openDevice(selected_, receiveBufferBytes_);
    if (opened) {
        state_ = kPortOpen;
    }
    return opened;
}

void MidiInput::start() {
    if (state_ == kPortOpen) {
        startDevice();
        state_ = kPortReceiving;
    }
}

void MidiInput::stop() {
    if (state_ >= kPortReceiving) {
        stopDevice();
        state_ = kPortOpen;
    }
}

void MidiInput::close() {
    if (state_ != kPortClosed) {
        closeDevice();
    }
    state_ = kPortClosed;
    // What was not read before closing belongs to the finished exchange.
    received_.clear();
}

void MidiInput::setStatusFilter(std::uint8_t status, bool on) {
    if (on) {
        filtered_.insert(status);
    } else {
        filtered_.erase(status);
    }
}

void MidiInput::removeCurrentMessage() {
    if (!received_.empty()) {
        received_.pop_front();
    }
}

void MidiInput::deliver(const std::vector<Bytes>& messages) {
    if (state_ < kPortReceiving) {
        return;
    }
    bool added = false;
    for (const auto& bytes : messages) {
        if (bytes.empty()) {
            continue;
        }
        MidiMessage message;
        if (bytes.front() == kSysexStart) {
            message.sysex = bytes;
        } else {
            if (filtered_.contains(bytes.front())) {
                continue;
            }
            message.status = bytes[0];
            message.data1 = bytes.size() > 1 ? bytes[1] : 0;
            message.data2 = bytes.size() > 2 ? bytes[2] : 0;
        }
        received_.push_back(std::move(message));
        added = true;
    }
    if (added && messageHandler_) {
        messageHandler_();
    }
}

Status MidiOutput::open() {
    auto opened = openDevice(selected_);
    if (opened) {
        state_ = kPortOpen;
        openName_ = nameOfOpenDevice();
    }
    return opened;
}

std::string MidiOutput::nameOfOpenDevice() {
    const auto name = deviceName(selected_ == kDefaultDevice ? 0 : selected_);
    return name ? *name : std::string();
}

bool MidiOutput::openDeviceListed() {
    if (openName_.empty()) {
        return true;  // nothing to look for
    }
    const int count = deviceCountOrZero(*this);
    for (int device = 0; device < count; ++device) {
        if (const auto name = deviceName(device); name && *name == openName_) {
            return true;
        }
    }
    return false;
}

void MidiOutput::close() {
    if (state_ != kPortClosed) {
        closeDevice();
    }
    state_ = kPortClosed;
}

Status MidiOutput::sendSysex(ByteView message) {
    if (state_ < kPortOpen) {
        return Status::failure("the MIDI output is not open");
    }
    const auto gone = [this] {
        return Status::failure("The MIDI output \"" + openName_ +
                               "\" is no longer there: it was unplugged or switched off. Plug "
                               "it in again, or choose another device in MIDI I/O Setup.");
    };
    if (!openDeviceListed()) {
        return gone();
    }
    auto sent = sendBytes(message);
    if (!sent) {
        return sent;
    }
    sentSinceDispatch_ = true;
    // The last message of a write is the one no later send would find out about.
    return openDeviceListed() ? sent : gone();
}

void MidiOutput::dispatchEvents() {
    if (sentSinceDispatch_) {
        sentSinceDispatch_ = false;
        if (queueEmptyHandler_) {
            queueEmptyHandler_();
        }
    }
}

void MidiOutput::raiseError(int code, std::string message) {
    if (errorHandler_) {
        errorHandler_(code, std::move(message));
    }
}

int deviceCountOrZero(MidiInput& input) {
    const auto count = input.deviceCount();
    return count ? *count : 0;
}

int deviceCountOrZero(MidiOutput& output) {
    const auto count = output.deviceCount();
    return count ? *count : 0;
}

}  // namespace vrx
