#include "link/kept_devices.h"

#include "protocol/midi_setup.h"

namespace vrx {
namespace {

template <typename Port, typename ToDevice>
std::string nameAt(Port& port, int position, int firstPosition, ToDevice toDevice) {
    const auto count = port.deviceCount();
    if (!count || position < firstPosition || toDevice(position) >= *count) {
        return {};
    }
    const auto name = port.deviceName(toDevice(position));
    return name ? *name : std::string();
}

// Only real devices are searched: the system's default output, chosen as such, follows
// whatever the system sends to and has no name of its own to find.
template <typename Port, typename ToDevice>
std::optional<int> movedPosition(Port& port, const KeptDevice& kept, int firstPosition,
                                 ToDevice toDevice) {
    if (kept.name.empty() || kept.position < firstPosition ||
        nameAt(port, kept.position, firstPosition, toDevice) == kept.name) {
        return std::nullopt;
    }
    const auto count = port.deviceCount();
    if (!count) {
        return std::nullopt;
    }
    for (int position = firstPosition; toDevice(position) < *count; ++position) {
        if (nameAt(port, position, firstPosition, toDevice) == kept.name) {
            return position;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string inputNameAt(MidiInput& input, int position) {
    return nameAt(input, position, inputPositionForDevice(0), inputDeviceForPosition);
}

std::string outputNameAt(MidiOutput& output, int position) {
    return nameAt(output, position, outputPositionForDevice(MidiOutput::kDefaultDevice),
                  outputDeviceForPosition);
}

std::optional<int> movedInputPosition(MidiInput& input, const KeptDevice& kept) {
    return movedPosition(input, kept, inputPositionForDevice(0), inputDeviceForPosition);
}

std::optional<int> movedOutputPosition(MidiOutput& output, const KeptDevice& kept) {
    return movedPosition(output, kept, outputPositionForDevice(0), outputDeviceForPosition);
}

std::string deviceMovedLogLine(std::string_view direction, const KeptDevice& kept, int position) {
    return std::string(direction) + " device \"" + kept.name + "\" is now #" +
           std::to_string(position) + " (was #" + std::to_string(kept.position) + ").";
}

}  // namespace vrx
