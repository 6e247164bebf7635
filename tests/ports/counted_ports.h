#pragma once

#include <string>
#include <utility>
#include <vector>

#include "protocol/midi_port.h"

namespace vrx::testing {

// Ports that list devices by name, as the platform lists the interfaces plugged in, or
// fail to list any; they remember what was done with them. An input can be busy the
// first time it opens, and be handed messages as its driver would.
class ListedInput final : public MidiInput {
public:
    explicit ListedInput(std::vector<std::string> names, bool broken = false)
        : names_(std::move(names)), broken_(broken) {}
    Result<int> deviceCount() override {
        return broken_ ? Result<int>::failure("no MIDI service") : int(names_.size());
    }
    Result<std::string> deviceName(int device) override { return names_.at(device); }
    void push(const std::vector<Bytes>& messages) { deliver(messages); }
    std::vector<int> opened;
    bool busyOnce = false;

protected:
    Status openDevice(int device, std::size_t) override {
        if (std::exchange(busyOnce, false)) {
            return Status::failure("input busy");
        }
        opened.push_back(device);
        return success();
    }
    void closeDevice() override {}

private:
    std::vector<std::string> names_;
    bool broken_;
};

class ListedOutput final : public MidiOutput {
public:
    explicit ListedOutput(std::vector<std::string> names) : names_(std::move(names)) {}
    Result<int> deviceCount() override { return int(names_.size()); }
    Result<std::string> deviceName(int device) override {
        return device == kDefaultDevice ? std::string("Default output") : names_.at(device);
    }
    std::vector<int> opened;
    std::vector<Bytes> sent;
    int stops = 0;
    // A cable pulled: the device is listed no more.
    void unplug(const std::string& name) { std::erase(names_, name); }
    std::string unplugWhenSent;  // pulled while a message goes out

protected:
    // The default output needs a device behind it.
    Status openDevice(int device) override {
        if (device < kDefaultDevice || device >= int(names_.size()) || names_.empty()) {
            return Status::failure("no such output");
        }
        opened.push_back(device);
        return success();
    }
    void closeDevice() override {}
    Status sendBytes(ByteView message) override {
        sent.emplace_back(message.begin(), message.end());
        unplug(std::exchange(unplugWhenSent, {}));
        return success();
    }
    void stopDevice() override { ++stops; }

private:
    std::vector<std::string> names_;
};

}  // namespace vrx::testing
