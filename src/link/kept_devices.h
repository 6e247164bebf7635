#pragma once

#include <optional>
#include <string>

#include "protocol/midi_port.h"

namespace vrx {

// A device chosen in an earlier run: its position in the MIDI I/O Setup list and the
// name it had then. An empty name (a settings file from before names were kept) keeps
// the position as it is.
struct KeptDevice {
    int position = 0;
    std::string name;
};

// The name of the device at a list position of the MIDI I/O Setup dialog; empty when
// there is none there.
std::string inputNameAt(MidiInput& input, int position);
std::string outputNameAt(MidiOutput& output, int position);

// A device's name as it stays from one plugging to the next: ALSA ends its names with
// the client and port numbers ("UM-ONE:UM-ONE MIDI 1 24:0"), which follow the plugging
// order, and JACK starts them with the client's name, which gets a number ("-01") when
// a name is taken. Those parts are left out; other names stay as they are.
std::string lastingDeviceName(std::string_view name);

// USB MIDI interfaces are numbered in the order they were plugged in, so a device may
// come back at another position. When the device at the kept position is another one and
// the kept device is listed elsewhere, that position is returned; in every other case
// nothing is. A device is the same when its whole name is, or else its lasting name.
std::optional<int> movedInputPosition(MidiInput& input, const KeptDevice& kept);
std::optional<int> movedOutputPosition(MidiOutput& output, const KeptDevice& kept);

// The log line for a device found at its new position.
std::string deviceMovedLogLine(std::string_view direction, const KeptDevice& kept, int position);

}  // namespace vrx
