#pragma once

#include <string>
#include <vector>

#include "protocol/midi_port.h"
#include "protocol/result.h"

namespace vrx {

// Output entry 1, whichever device the system's default output stands for.
inline constexpr const char* kDefaultOutputName = "Default MIDI output";

inline constexpr const char* kNoMidiCardMessage =
    "MIDI I/O Error... you need to configure a MIDI card to use this program.";

// The lists of the MIDI I/O Setup dialog: entry 0 invites a choice, entry p is "#p: "
// and the device's name, so an entry's position is the number the ports are opened with.
// Output entry 1 is the system's default output, "Default MIDI output" with the name of
// the device it stands for in brackets. When the devices cannot be listed the
// entries gathered until then are kept and `error` says why.
struct DeviceEntries {
    std::vector<std::string> entries;
    std::string error;  // empty when every device was listed
};
DeviceEntries inputDeviceEntries(MidiInput& input);
DeviceEntries outputDeviceEntries(MidiOutput& output);

}  // namespace vrx
