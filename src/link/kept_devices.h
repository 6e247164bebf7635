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

// USB MIDI interfaces are numbered in the order they were plugged in, so a device may
// come back at another position. When the device at the kept position has another name
// and a device of the kept name is listed elsewhere, that position is returned; in every
// other case nothing is.
std::optional<int> movedInputPosition(MidiInput& input, const KeptDevice& kept);
std::optional<int> movedOutputPosition(MidiOutput& output, const KeptDevice& kept);

// The log line for a device found at its new position.
std::string deviceMovedLogLine(std::string_view direction, const KeptDevice& kept, int position);

}  // namespace vrx
