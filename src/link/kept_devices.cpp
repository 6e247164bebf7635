#include "link/kept_devices.h"

#include <regex>

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

// The first position from `firstPosition` on whose device's name `same` accepts.
template <typename Port, typename ToDevice, typename Same>
std::optional<int> findPosition(Port& port, int firstPosition, ToDevice toDevice, Same same) {
    const auto count = port.deviceCount();
    if (!count) {
        return std::nullopt;
    }
    for (int position = firstPosition; toDevice(position) < *count; ++position) {
        if (same(nameAt(port, position, firstPosition, toDevice))) {
            return position;
        }
    }
    return std::nullopt;
}

// Only real devices are searched: the system's default output, chosen as such, follows
// whatever the system sends to and has no name of its own to find. The whole name is
// looked for first: two interfaces of one model differ in their numbers alone.
template <typename Port, typename ToDevice>
std::optional<int> movedPosition(Port& port, const KeptDevice& kept, int firstPosition,
                                 ToDevice toDevice) {
    if (kept.name.empty() || kept.position < firstPosition) {
        return std::nullopt;
    }
    const auto atKept = nameAt(port, kept.position, firstPosition, toDevice);
    if (atKept == kept.name) {
        return std::nullopt;
    }
    const auto whole = [&](const std::string& name) { return name == kept.name; };
    if (const auto found = findPosition(port, firstPosition, toDevice, whole)) {
        return found;
    }
    const auto lasting = lastingDeviceName(kept.name);
    const auto sameDevice = [&](const std::string& name) {
        return !name.empty() && lastingDeviceName(name) == lasting;
    };
    if (sameDevice(atKept)) {
        return std::nullopt;
    }
    return findPosition(port, firstPosition, toDevice, sameDevice);
}

}  // namespace

std::string lastingDeviceName(std::string_view name) {
    // ALSA: "client:port" and then " client-number:port-number".
    static const std::regex alsaNumbers(R"(^(.*:.*) \d+:\d+$)");
    // JACK: "client:port", the client perhaps numbered.
    static const std::regex jackClient(R"(^[^:]+:(.+)$)");
    std::match_results<std::string_view::const_iterator> match;
    if (std::regex_match(name.begin(), name.end(), match, alsaNumbers)) {
        return match[1].str();
    }
    if (std::regex_match(name.begin(), name.end(), match, jackClient)) {
        return match[1].str();
    }
    return std::string(name);
}

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
