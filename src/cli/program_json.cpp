#include "cli/program_json.h"

#include <cstdint>
#include <string>

namespace vrx::cli {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

constexpr int kMaxAnalogInput = 4;
constexpr int kMaxTuningInput = 5;
constexpr int kMaxKeyboard = 4;
constexpr int kMaxController = 1;
constexpr int kMaxMidiChannel = kMidiChannels - 1;
constexpr int kMaxByteSetting = 255;  // a note number is kept as the whole value byte

// The settings an image can carry for each function: what decoding can produce.
int maxSetting(int function) {
    switch (function) {
        case kMidiStop:
            return static_cast<int>(midiStopKeyboards().size()) - 1;
        case kBankSelectMsb:
        case kBankSelectLsb:
        case kProgramChange:
        case kTq450Trem:
            return kMidiValues - 1;
        case kNoteOnOff:
            return kMaxByteSetting;
        case kUnassigned:
        case kTq450Cancel:
            return 0;
        default:
            return static_cast<int>(parameterList(function).size()) - 1;
    }
}

// A problem found while reading, carried out of the nested readers at once.
struct BadField {
    std::string message;
};

[[noreturn]] void reject(const std::string& place, const std::string& problem) {
    throw BadField{(place.empty() ? std::string("(top level)") : place) + ": " + problem};
}

std::string placeOf(const std::string& parent, const std::string& key) {
    return parent.empty() ? key : parent + "." + key;
}

std::string indexed(const std::string& key, std::size_t index) {
    return key + "[" + std::to_string(index) + "]";
}

const json& member(const json& object, const std::string& place, const std::string& key) {
    if (!object.is_object()) {
        reject(place, "expected an object, found " + std::string(object.type_name()));
    }
    const auto found = object.find(key);
    if (found == object.end()) {
        reject(placeOf(place, key), "is missing");
    }
    return *found;
}

int integerIn(const json& object, const std::string& place, const std::string& key, int low,
              int high, const std::string& forWhat = {}) {
    const auto& value = member(object, place, key);
    const auto at = placeOf(place, key);
    if (!value.is_number_integer()) {
        reject(at, value.dump() + " is not an integer");
    }
    // Large numbers arrive unsigned and must not wrap into the range.
    const bool fits =
        value.is_number_unsigned()
            ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(high) &&
                  (low <= 0 || value.get<std::uint64_t>() >= static_cast<std::uint64_t>(low))
            : value.get<std::int64_t>() >= low && value.get<std::int64_t>() <= high;
    if (!fits) {
        reject(at, value.dump() + " is out of range " + std::to_string(low) + ".." +
                       std::to_string(high) + (forWhat.empty() ? "" : " for \"" + forWhat + "\""));
    }
    return value.get<int>();
}

const json& arrayOf(const json& object, const std::string& place, const std::string& key,
                    std::size_t size) {
    const auto& value = member(object, place, key);
    const auto at = placeOf(place, key);
    if (!value.is_array()) {
        reject(at, "expected an array, found " + std::string(value.type_name()));
    }
    if (value.size() != size) {
        reject(at, "holds " + std::to_string(value.size()) + " entries instead of " +
                       std::to_string(size));
    }
    return value;
}

// The entry's position is its channel: a midiChannel that says otherwise means the
// array was reordered, and its settings would silently move to another channel.
ChannelSetting readChannel(const json& entry, const std::string& place, int position) {
    if (entry.is_object() && entry.contains("midiChannel")) {
        const int stated = integerIn(entry, place, "midiChannel", 1, kMidiChannels);
        if (stated != position + 1) {
            reject(placeOf(place, "midiChannel"),
                   std::to_string(stated) + " at position " + std::to_string(position + 1) +
                       ": channel entries must be in order 1 to " + std::to_string(kMidiChannels));
        }
    }
    ChannelSetting channel;
    channel.inputKeyboard = integerIn(entry, place, "inputKeyboard", 0, kMaxKeyboard);
    channel.analogInput = integerIn(entry, place, "analogInput", 0, kMaxAnalogInput);
    channel.controllerType = integerIn(entry, place, "controllerType", 0, kMaxController);
    channel.keyOffset = integerIn(entry, place, "keyOffset", kKeyOffsetMin, kKeyOffsetMax);
    return channel;
}

// Reads one pin and returns its row; the slot and pin number must be the row's own.
int readPin(const json& entry, const std::string& place, PinAssignment& pin) {
    const int row = integerIn(entry, place, "row", 1, kPinRows);
    const auto location = pinLocation(row);
    const auto& name = member(entry, place, "pinName");
    if (!name.is_string() || name.get<std::string>() != location.pinName) {
        reject(placeOf(place, "pinName"), name.dump() + " is not the slot of row " +
                                              std::to_string(row) + ", which is \"" +
                                              location.pinName + "\"");
    }
    const auto& number = member(entry, place, "pinNum");
    if (!number.is_number_integer() || number.get<std::int64_t>() != location.pinNum) {
        reject(placeOf(place, "pinNum"), number.dump() + " is not the pin of row " +
                                             std::to_string(row) + ", which is " +
                                             std::to_string(location.pinNum));
    }
    pin.pinFunction = integerIn(entry, place, "pinFunction", 0, kPinFunctionCount - 1);
    pin.pinMidiChannel = integerIn(entry, place, "pinMidiChannel", 0, kMaxMidiChannel);
    pin.pinSubFunction = integerIn(entry, place, "pinSubFunction", 0, maxSetting(pin.pinFunction),
                                   functionNames()[pin.pinFunction]);
    return row;
}

ProgramData readProgram(const json& root) {
    ProgramData data;
    const auto& channels = arrayOf(root, "", "channels", kMidiChannels);
    for (std::size_t c = 0; c < channels.size(); ++c) {
        data.channels[c] = readChannel(channels[c], indexed("channels", c), static_cast<int>(c));
    }
    data.archiveAnalogInput = integerIn(root, "", "archiveAnalogInput", 0, kMaxTuningInput);
    data.archiveMidiChannel = integerIn(root, "", "archiveMidiChannel", 0, kMaxMidiChannel);
    data.tuningInput = integerIn(root, "", "tuningInput", 0, kMaxTuningInput);
    const auto& options = arrayOf(root, "", "tuningOptions", kTuningOptions);
    for (std::size_t k = 0; k < options.size(); ++k) {
        if (!options[k].is_boolean()) {
            reject(indexed("tuningOptions", k), options[k].dump() + " is not true or false");
        }
        data.tuningOptions[k] = options[k].get<bool>();
    }
    // Pins may come in any order, but each row exactly once.
    const auto& pins = arrayOf(root, "", "pins", kPinRows);
    std::array<std::size_t, kPinRows> entryOfRow{};
    for (std::size_t i = 0; i < pins.size(); ++i) {
        PinAssignment pin;
        const auto place = indexed("pins", i);
        const int row = readPin(pins[i], place, pin);
        if (entryOfRow[row - 1] != 0) {
            reject(placeOf(place, "row"), std::to_string(row) + " is already given in " +
                                              indexed("pins", entryOfRow[row - 1] - 1));
        }
        entryOfRow[row - 1] = i + 1;
        data.pins[row - 1] = pin;
    }
    return data;
}

}  // namespace

ordered_json programToJson(const ProgramData& data, const NameList& instruments) {
    ordered_json channels = ordered_json::array();
    for (int c = 0; c < kMidiChannels; ++c) {
        const auto& channel = data.channels[c];
        channels.push_back({
            {"midiChannel", c + 1},
            {"inputKeyboard", channel.inputKeyboard},
            {"inputKeyboardName", keyboardNames()[channel.inputKeyboard]},
            {"analogInput", channel.analogInput},
            {"analogInputName", analogInputNames()[channel.analogInput]},
            {"controllerType", channel.controllerType},
            {"controllerTypeName", controllerNames()[channel.controllerType]},
            {"keyOffset", channel.keyOffset},
        });
    }
    ordered_json pins = ordered_json::array();
    for (int r = 1; r <= kPinRows; ++r) {
        const auto& pin = data.pins[r - 1];
        const bool used = usesChannelAndSetting(pin.pinFunction);
        const auto location = pinLocation(r);
        pins.push_back({
            {"row", r},
            {"pinName", location.pinName},
            {"pinNum", location.pinNum},
            {"pinFunction", pin.pinFunction},
            {"pinMidiChannel", used ? pin.pinMidiChannel : 0},
            {"pinSubFunction", used ? pin.pinSubFunction : 0},
            {"functionName", functionNames()[pin.pinFunction]},
            {"settingName", settingText(pin.pinFunction, pin.pinSubFunction, instruments)},
        });
    }
    return {
        {"channels", channels},
        {"archiveAnalogInput", data.archiveAnalogInput},
        {"archiveAnalogInputName", tuningInputNames()[data.archiveAnalogInput]},
        {"archiveMidiChannel", data.archiveMidiChannel},
        {"tuningInput", data.tuningInput},
        {"tuningInputName", tuningInputNames()[data.tuningInput]},
        {"tuningOptions", data.tuningOptions},
        {"pins", pins},
    };
}

Result<ProgramData> programFromJson(const json& json) {
    try {
        return readProgram(json);
    } catch (const BadField& bad) {
        return Result<ProgramData>::failure(bad.message);
    }
}

}  // namespace vrx::cli
