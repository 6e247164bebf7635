#include "protocol/midi_device_list.h"

namespace vrx {
namespace {

// The default output is the first device; its entry says which one that is, so the
// user need not guess: "Default MIDI output (UM-ONE)".
template <typename Port>
std::string describedDevice(Port& port, int device, const std::string& name, int count) {
    if (device >= 0 || count < 1) {
        return name;
    }
    const auto standsFor = port.deviceName(0);
    return std::string(kDefaultOutputName) + (standsFor ? " (" + *standsFor + ")" : "");
}

template <typename Port>
DeviceEntries listDevices(Port& port, const char* invitation, int firstDevice) {
    DeviceEntries list;
    list.entries.emplace_back(invitation);
    const auto count = port.deviceCount();
    if (!count) {
        list.error = count.error();
        return list;
    }
    for (int device = firstDevice; device < *count; ++device) {
        const auto name = port.deviceName(device);
        if (!name) {
            list.error = name.error();
            return list;
        }
        list.entries.push_back("#" + std::to_string(list.entries.size()) + ": " +
                               describedDevice(port, device, *name, *count));
    }
    return list;
}

}  // namespace

DeviceEntries inputDeviceEntries(MidiInput& input) {
    return listDevices(input, "[Choose a MIDI in device]", 0);
}

DeviceEntries outputDeviceEntries(MidiOutput& output) {
    return listDevices(output, "[Choose a MIDI out device]", MidiOutput::kDefaultDevice);
}

}  // namespace vrx
