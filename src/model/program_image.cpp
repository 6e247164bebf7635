#include "model/program_image.h"

#include <algorithm>

#include "protocol/messages.h"

namespace vrx {
namespace {

// Positions in the image, 0-based (the unit's documentation counts from 1).
constexpr std::size_t kFormatAt = 0;
constexpr std::size_t kProgramNumberAt = 1;
constexpr std::size_t kChannelPairsAt = 2;  // 8 bytes, two channels each
constexpr std::size_t kKeyOffsetsAt = 10;   // 16 bytes
constexpr std::size_t kArchiveAt = 26;
constexpr std::size_t kKeyboardMasksAt = 27;  // 2 bytes per keyboard
constexpr std::size_t kTuningAt = 37;
constexpr std::size_t kPinPairsAt = 46;  // 105 pairs of type and value

constexpr int kKeyboards = 4;
constexpr std::uint8_t kAnalogNoneCode = 7;
constexpr int kAnalogCodes = 5;  // codes 0 to 4 are "#1" to "#4" and "#6"
constexpr int kTuningOptionsShift = 3;

// The high nibble of a pin's type byte.
constexpr std::uint8_t kKindStop = 0x00;
constexpr std::uint8_t kKindProgramChange = 0x10;
constexpr std::uint8_t kKindBankSelect = 0x40;
constexpr std::uint8_t kKindMidiStop = 0x50;
constexpr std::uint8_t kKindNote = 0x70;
constexpr std::uint8_t kKindTq450 = 0x80;
constexpr std::uint8_t kUnassignedByte = 0xFD;
constexpr std::uint8_t kHighValue = 0x80;  // second function sharing a kind

std::size_t pinTypeAt(int row) {
    return kPinPairsAt + 2 * static_cast<std::size_t>(row - 1);
}

std::size_t keyboardMaskAt(int keyboard, int channel) {
    return kKeyboardMasksAt + 2 * static_cast<std::size_t>(keyboard - 1) +
           static_cast<std::size_t>(channel / 8);
}

int analogCodeToInput(int code) {
    return code < kAnalogCodes ? code + 1 : 0;
}
std::uint8_t inputToAnalogCode(int input) {
    return input == 0 ? kAnalogNoneCode : static_cast<std::uint8_t>(input - 1);
}

ChannelSetting decodeChannelHalf(ChannelSetting channel, unsigned nibble) {
    channel.analogInput = (nibble & 0x4) ? static_cast<int>(nibble & 0x3) + 1 : 0;
    channel.controllerType = (nibble & 0x8) ? 1 : 0;
    return channel;
}

unsigned encodeChannelHalf(const ChannelSetting& channel) {
    unsigned nibble = 0;
    if (channel.analogInput >= 1) {
        nibble |= 0x4 | static_cast<unsigned>(channel.analogInput - 1);
    }
    if (channel.controllerType >= 1) {
        nibble |= 0x8;
    }
    return nibble;
}

PinAssignment decodePin(std::uint8_t type, std::uint8_t value) {
    const std::uint8_t kind = type & 0xF0;
    const int channel = type & 0x0F;
    switch (kind) {
        case kKindStop: {
            const auto match = findStopCode(value);
            return match ? PinAssignment{match->function, channel, match->position}
                         : PinAssignment{kUnassigned, channel, 0};
        }
        case kKindMidiStop:
            return {kMidiStop, channel, (value >> 1) & 0x3};
        case kKindBankSelect:
            return value < kHighValue ? PinAssignment{kBankSelectLsb, channel, value}
                                      : PinAssignment{kBankSelectMsb, channel, value - 128};
        case kKindProgramChange:
            return value < kHighValue ? PinAssignment{kProgramChange, channel, value}
                                      : PinAssignment{kUnassigned, -1, -1};
        case kKindNote:
            return {kNoteOnOff, channel, value};
        case kKindTq450: {
            if (value == 0) {
                return {kTq450Cancel, channel, 0};
            }
            if (value >= kHighValue) {
                return {kTq450Trem, channel, value - 128};
            }
            const int unit = value >> 4;
            const int tab = value & 0x0F;
            const bool valid = unit >= 1 && unit <= 7 && tab >= 1 && tab <= 12;
            return {kTq450Stop, channel, valid ? (unit - 1) * 12 + (tab - 1) : 0};
        }
        default:
            return {kUnassigned, -1, -1};
    }
}

std::uint8_t codeAt(int function, int setting) {
    const auto& codes = parameterCodes(function);
    // A setting beyond the list cannot come from the editor; write the first entry
    // rather than read past the table.
    const auto index = setting >= 0 && static_cast<std::size_t>(setting) < codes.size()
                           ? static_cast<std::size_t>(setting)
                           : 0;
    return codes[index];
}

std::pair<std::uint8_t, std::uint8_t> encodePin(const PinAssignment& pin) {
    const auto ch = static_cast<std::uint8_t>(pin.pinMidiChannel & 0x0F);
    const auto s = static_cast<unsigned>(pin.pinSubFunction);
    const auto byte = [](unsigned v) { return static_cast<std::uint8_t>(v & 0xFF); };
    switch (pin.pinFunction) {
        case kRomanticStop:
        case kClassicStop:
        case kAhlborn202Stop:
        case kAhlborn201Stop:
        case kCommonAhlborn:
            return {ch, codeAt(pin.pinFunction, pin.pinSubFunction)};
        case kMidiStop:
            return {byte(ch + kKindMidiStop), byte(s * 2 + (ch >= 8 ? 1 : 0))};
        case kBankSelectMsb:
            return {byte(ch + kKindBankSelect), byte((s & 127) + 128)};
        case kBankSelectLsb:
            return {byte(ch + kKindBankSelect), byte(s)};
        case kProgramChange:
            return {byte(ch + kKindProgramChange), byte(s)};
        case kNoteOnOff:
            return {byte(ch + kKindNote), byte(s)};
        case kTq450Stop:
            return {byte(ch + kKindTq450), codeAt(kTq450Stop, pin.pinSubFunction)};
        case kTq450Trem:
            return {byte(ch + kKindTq450), byte(s + 128)};
        case kTq450Cancel:
            return {kKindTq450, 0};
        default:
            return {kUnassignedByte, kUnassignedByte};
    }
}

}  // namespace

Bytes newProgramDataImage() {
    Bytes image(kImageBytes, 0);
    std::fill_n(image.begin(), kBlankFillBytes, 0xFF);
    return image;
}

Status decodeProgramData(ByteView image, ProgramData& data) {
    if (image.size() < kProgramBytes) {
        return Status::failure("the Program Data holds " + std::to_string(image.size()) +
                               " bytes, fewer than " + std::to_string(kProgramBytes));
    }
    for (int c = 0; c < kMidiChannels; ++c) {
        auto& channel = data.channels[c];
        channel.inputKeyboard = 0;
        for (int k = 1; k <= kKeyboards; ++k) {
            if (image[keyboardMaskAt(k, c)] & (1u << (c % 8))) {
                channel.inputKeyboard = k;  // the last keyboard whose mask has it wins
            }
        }
        // A byte above 127 would lie before the first entry; the list then shows +91.
        const int offsetByte = image[kKeyOffsetsAt + c];
        channel.keyOffset = offsetByte > 127 ? kKeyOffsetMax : offsetByte + kKeyOffsetMin;
    }
    for (int i = 0; i < kMidiChannels / 2; ++i) {
        const unsigned b = image[kChannelPairsAt + i];
        data.channels[2 * i] = decodeChannelHalf(data.channels[2 * i], b & 0x0F);
        data.channels[2 * i + 1] = decodeChannelHalf(data.channels[2 * i + 1], b >> 4);
    }
    data.archiveAnalogInput = analogCodeToInput(image[kArchiveAt] & 0x07);
    data.archiveMidiChannel = image[kArchiveAt] >> 4;
    data.tuningInput = analogCodeToInput(image[kTuningAt] & 0x07);
    for (int k = 0; k < kTuningOptions; ++k) {
        data.tuningOptions[k] = (image[kTuningAt] >> (k + kTuningOptionsShift)) & 1;
    }
    for (int r = 1; r <= kPinRows; ++r) {
        data.pins[r - 1] = decodePin(image[pinTypeAt(r)], image[pinTypeAt(r) + 1]);
    }
    return success();
}

Result<ProgramData> decodeProgramData(ByteView image) {
    ProgramData data;
    const auto status = decodeProgramData(image, data);
    if (!status) {
        return Result<ProgramData>::failure(status.error());
    }
    return data;
}

std::uint8_t formatByteForFirmware(std::uint8_t firmwareVersionByte) {
    return firmwareVersionByte == kFormatByteDefault ? kFormatByteNew : kFormatByteDefault;
}

void encodeProgramSettings(const ProgramData& data, std::uint8_t firmwareVersionByte,
                           Bytes& image) {
    image[kFormatAt] = formatByteForFirmware(firmwareVersionByte);
    image[kProgramNumberAt] = static_cast<std::uint8_t>(data.programNumber - 1);
    for (int i = 0; i < kMidiChannels / 2; ++i) {
        const auto& even = data.channels[2 * i];
        const auto& odd = data.channels[2 * i + 1];
        image[kChannelPairsAt + i] =
            static_cast<std::uint8_t>(encodeChannelHalf(even) | (encodeChannelHalf(odd) << 4));
        image[kKeyOffsetsAt + 2 * i] = static_cast<std::uint8_t>(even.keyOffset - kKeyOffsetMin);
        image[kKeyOffsetsAt + 2 * i + 1] = static_cast<std::uint8_t>(odd.keyOffset - kKeyOffsetMin);
    }
    image[kArchiveAt] = static_cast<std::uint8_t>(data.archiveMidiChannel * 16 +
                                                  inputToAnalogCode(data.archiveAnalogInput));
    unsigned tuning = inputToAnalogCode(data.tuningInput);
    for (int k = 0; k < kTuningOptions; ++k) {
        if (data.tuningOptions[k]) {
            tuning |= 1u << (k + kTuningOptionsShift);
        }
    }
    image[kTuningAt] = static_cast<std::uint8_t>(tuning);
    for (int k = 1; k <= kKeyboards; ++k) {
        image[keyboardMaskAt(k, 0)] = 0;
        image[keyboardMaskAt(k, 8)] = 0;
    }
    for (int c = 0; c < kMidiChannels; ++c) {
        const int k = data.channels[c].inputKeyboard;
        if (k >= 1 && k <= kKeyboards) {
            image[keyboardMaskAt(k, c)] |= static_cast<std::uint8_t>(1u << (c % 8));
        }
    }
}

void encodePinAssignments(const ProgramData& data, Bytes& image) {
    for (int r = 1; r <= kPinRows; ++r) {
        const auto [type, value] = encodePin(data.pins[r - 1]);
        image[pinTypeAt(r)] = type;
        image[pinTypeAt(r) + 1] = value;
    }
}

Bytes encodeProgramData(const ProgramData& data, std::uint8_t firmwareVersionByte) {
    auto image = newProgramDataImage();
    encodeProgramSettings(data, firmwareVersionByte, image);
    encodePinAssignments(data, image);
    return image;
}

std::array<Bytes, 4> programUpdateMessages(std::uint8_t device, unsigned page, ByteView image) {
    // Neither the encoder nor a file gives fewer than 256 bytes; should a caller pass a
    // short image anyway, its missing bytes go out blank instead of being read past its end.
    Bytes program(image.begin(),
                  image.begin() + std::min<std::size_t>(image.size(), kProgramBytes));
    program.resize(kProgramBytes, 0xFF);
    std::array<Bytes, 4> messages;
    for (unsigned k = 0; k < kUpdateBlocks; ++k) {
        messages[k] =
            programUpdate(device, pageAddress(page) + k * kUpdateBlockBytes,
                          ByteView(program).subspan(k * kUpdateBlockBytes, kUpdateBlockBytes));
    }
    return messages;
}

}  // namespace vrx
