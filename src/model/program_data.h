#pragma once

#include <array>
#include <string>

#include "model/vocabulary.h"

namespace vrx {

constexpr int kPinRows = 105;
constexpr int kKeyOffsetMax = 91;
constexpr int kKeyOffsetMin = -36;
constexpr int kTuningOptions = 5;

// One MIDI channel row. The numbers are positions in the lists the editor shows,
// except keyOffset, which is in semitones.
struct ChannelSetting {
    int inputKeyboard = 0;   // keyboardNames()
    int analogInput = 0;     // analogInputNames()
    int controllerType = 0;  // controllerNames()
    int keyOffset = kKeyOffsetMin;

    bool operator==(const ChannelSetting&) const = default;
};

// What one programmable input pin does.
struct PinAssignment {
    int pinFunction = kUnassigned;
    int pinMidiChannel = 0;  // 0 to 15 for channels 1 to 16
    int pinSubFunction = 0;  // position in the function's setting list

    bool operator==(const PinAssignment&) const = default;
};

// Everything one program of a unit holds.
struct ProgramData {
    int programNumber = 10;  // the unit ignores it; images always carry 9
    std::array<ChannelSetting, kMidiChannels> channels{};
    int archiveAnalogInput = 0;  // tuningInputNames()
    int archiveMidiChannel = 0;
    int tuningInput = 0;  // tuningInputNames()
    std::array<bool, kTuningOptions> tuningOptions{};
    std::array<PinAssignment, kPinRows> pins{};  // pins[r - 1] is row r

    bool operator==(const ProgramData&) const = default;
};

// Where the pin of grid row r (1 to 105) sits: its board slot and pin number.
struct PinLocation {
    std::string pinName;  // "IN1" to "IN5"
    int pinNum = 0;       // 1 to 64
};
PinLocation pinLocation(int row);

// Key offset list: entry 0 is +91, entry 127 is -36.
constexpr int keyOffsetToIndex(int keyOffset) {
    return kKeyOffsetMax - keyOffset;
}
constexpr int indexToKeyOffset(int index) {
    return kKeyOffsetMax - index;
}
std::string keyOffsetText(int keyOffset);  // "+12", "0", "-5"

}  // namespace vrx
