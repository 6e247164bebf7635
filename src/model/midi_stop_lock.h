#pragma once

#include <string>
#include <vector>

#include "model/program_data.h"

namespace vrx {

// A "MIDI Stop" pin plays its MIDI channel by itself, so no keyboard may play that
// channel too: the channel's keyboard is None while such a pin uses it.

// The channels (0 to 15) used by MIDI Stop pins, ascending.
std::vector<int> midiStopChannels(const ProgramData& data);

// The channels whose keyboard the lock takes away: used by a MIDI Stop pin and played by
// a keyboard, ascending.
std::vector<int> channelsTheLockTakes(const ProgramData& data);

// The configuration with the keyboard of every MIDI Stop channel set to None.
ProgramData withMidiStopLock(ProgramData data);

// Channels as the user counts them: "3", "3 and 5", "3, 5 and 9".
std::string channelListText(const std::vector<int>& channels);

}  // namespace vrx
