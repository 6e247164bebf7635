#pragma once

#include <cstdint>
#include <string>

#include "link/traffic_tap.h"
#include "protocol/bytes.h"
#include "protocol/midi_port.h"

namespace vrx {

// Names every message that passes between the program and the unit in the words the
// program and the unit's documentation use, so a trace from an organ builder's site
// reads like the protocol. The numbering of PROGRAM_RESPONSE messages within one
// request is the only thing it remembers between messages.
class TrafficNamer {
public:
    // "PROGRAM_UPDATE block 2 of program 3", "Identity Reply: firmware 1.5, 12/31/2009,
    // DIP program 1, 16 programs", "Note On, channel 10", "other SysEx", ...
    std::string nameOf(ByteView message);

private:
    int responsesSinceRequest_ = 0;
};

// The bytes of a message taken from the input: the SysEx message itself, or the status
// byte of a short message followed by as many data bytes as that status carries.
Bytes messageBytes(const MidiMessage& message);

// One line of a trace: time since the program started, direction, length, name and hex.
// "    1200 ms  out    9  TAG MESSAGE  f0 00 21 5e 7f 04 02 01 f7"
std::string trafficLine(std::int64_t timeMs, TrafficDirection direction, std::string_view name,
                        ByteView message);

std::string_view directionText(TrafficDirection direction);

}  // namespace vrx
