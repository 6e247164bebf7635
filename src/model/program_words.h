#pragma once

#include <string>

#include "model/program_data.h"

namespace vrx {

// The texts the editor shows for the parts of a configuration, shared by the compare
// window, the pin list and the clipboard so that all of them speak alike.

// "Pin 17 (IN4 40)"
std::string pinLabel(int row);

// "3" for the stored channel 2.
std::string channelNumberText(int channel);

// Empty when the position lies beyond the list.
std::string nameAt(const NameList& names, int position);

// What the grid shows in the Function, MIDI Channel and Setting cells of a pin; the last
// two are empty for a pin that uses neither.
struct PinWords {
    std::string function;
    std::string midiChannel;
    std::string setting;
};
PinWords pinWords(const PinAssignment& pin, const NameList& instruments);

// "Note On/Off, ch 8, 56 (G#2)" or "Unassigned".
std::string pinSummary(const PinAssignment& pin, const NameList& instruments);

// The four choices of a channel row as its lists show them, in column order.
struct ChannelWords {
    std::string inputKeyboard;
    std::string analogInput;
    std::string controllerType;
    std::string keyOffset;
};
ChannelWords channelWords(const ChannelSetting& channel);

}  // namespace vrx
