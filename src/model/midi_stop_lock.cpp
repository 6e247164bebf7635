#include "model/midi_stop_lock.h"

#include <algorithm>

#include "model/vocabulary.h"

namespace vrx {

std::vector<int> midiStopChannels(const ProgramData& data) {
    std::vector<int> channels;
    for (const PinAssignment& pin : data.pins) {
        // A channel out of range cannot be played by anything; it locks nothing.
        if (pin.pinFunction == kMidiStop && pin.pinMidiChannel >= 0 &&
            pin.pinMidiChannel < kMidiChannels) {
            channels.push_back(pin.pinMidiChannel);
        }
    }
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    return channels;
}

std::vector<int> channelsTheLockTakes(const ProgramData& data) {
    std::vector<int> taken;
    for (const int channel : midiStopChannels(data)) {
        if (data.channels[channel].inputKeyboard != 0) {
            taken.push_back(channel);
        }
    }
    return taken;
}

ProgramData withMidiStopLock(ProgramData data) {
    for (const int channel : midiStopChannels(data)) {
        data.channels[channel].inputKeyboard = 0;
    }
    return data;
}

std::string channelListText(const std::vector<int>& channels) {
    std::string text;
    for (std::size_t k = 0; k < channels.size(); ++k) {
        if (k > 0) {
            text += k + 1 == channels.size() ? " and " : ", ";
        }
        text += std::to_string(channels[k] + 1);
    }
    return text;
}

}  // namespace vrx
