#pragma once

#include <string>
#include <vector>

#include "protocol/midi_port.h"

namespace vrx::testing {

// Ports with a given number of devices that remember what was done with them.
class CountedInput final : public MidiInput {
public:
    explicit CountedInput(int devices) : devices_(devices) {}
    Result<int> deviceCount() override { return devices_; }
    Result<std::string> deviceName(int device) override { return "in " + std::to_string(device); }
    std::vector<int> opened;

protected:
    Status openDevice(int device, std::size_t) override {
        opened.push_back(device);
        return success();
    }
    void closeDevice() override {}

private:
    int devices_;
};

class CountedOutput final : public MidiOutput {
public:
    explicit CountedOutput(int devices) : devices_(devices) {}
    Result<int> deviceCount() override { return devices_; }
    Result<std::string> deviceName(int device) override { return "out " + std::to_string(device); }
    std::vector<int> opened;
    std::vector<Bytes> sent;
    int stops = 0;
    int handedOver = 0;  // sends tried, open or not

protected:
    Status openDevice(int device) override {
        if (device < -1 || device >= devices_ || (device == -1 && devices_ == 0)) {
            return Status::failure("no such output");
        }
        opened.push_back(device);
        return success();
    }
    void closeDevice() override {}
    Status sendBytes(ByteView message) override {
        sent.emplace_back(message.begin(), message.end());
        return success();
    }
    void stopDevice() override { ++stops; }

private:
    int devices_;
};

// Ports that list devices by name, as the platform lists the interfaces plugged in, or
// fail to list any.
class ListedInput final : public MidiInput {
public:
    explicit ListedInput(std::vector<std::string> names, bool broken = false)
        : names_(std::move(names)), broken_(broken) {}
    Result<int> deviceCount() override {
        return broken_ ? Result<int>::failure("no MIDI service") : int(names_.size());
    }
    Result<std::string> deviceName(int device) override { return names_.at(device); }

protected:
    Status openDevice(int, std::size_t) override { return success(); }
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

protected:
    Status openDevice(int) override { return success(); }
    void closeDevice() override {}
    Status sendBytes(ByteView) override { return success(); }

private:
    std::vector<std::string> names_;
};

}  // namespace vrx::testing
