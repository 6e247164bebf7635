#include "model/program_words.h"

namespace vrx {

std::string pinLabel(int row) {
    const PinLocation where = pinLocation(row);
    return "Pin " + std::to_string(row) + " (" + where.pinName + " " +
           std::to_string(where.pinNum) + ")";
}

std::string channelNumberText(int channel) {
    return std::to_string(channel + 1);
}

std::string nameAt(const NameList& names, int position) {
    return position >= 0 && static_cast<std::size_t>(position) < names.size() ? names[position]
                                                                              : std::string{};
}

PinWords pinWords(const PinAssignment& pin, const NameList& instruments) {
    PinWords words{nameAt(functionNames(), pin.pinFunction), {}, {}};
    if (usesChannelAndSetting(pin.pinFunction)) {
        words.midiChannel = channelNumberText(pin.pinMidiChannel);
        words.setting = settingText(pin.pinFunction, pin.pinSubFunction, instruments);
    }
    return words;
}

std::string pinSummary(const PinAssignment& pin, const NameList& instruments) {
    const PinWords words = pinWords(pin, instruments);
    std::string text = words.function;
    if (!words.midiChannel.empty()) {
        text += ", ch " + words.midiChannel;
    }
    if (!words.setting.empty()) {
        text += ", " + words.setting;
    }
    return text;
}

ChannelWords channelWords(const ChannelSetting& channel) {
    return {nameAt(keyboardNames(), channel.inputKeyboard),
            nameAt(analogInputNames(), channel.analogInput),
            nameAt(controllerNames(), channel.controllerType), keyOffsetText(channel.keyOffset)};
}

}  // namespace vrx
