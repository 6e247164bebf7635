#include "model/program_image.h"

#include <gtest/gtest.h>

#include <random>

#include "protocol/messages.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

// Image positions as the unit's documentation counts them, from 1.
std::uint8_t& at(Bytes& image, int position) {
    return image[position - 1];
}
int pinTypePosition(int row) {
    return 45 + 2 * row;
}

Bytes imageWithPin(int row, std::uint8_t type, std::uint8_t value) {
    auto image = newProgramDataImage();
    at(image, pinTypePosition(row)) = type;
    at(image, pinTypePosition(row) + 1) = value;
    return image;
}

// What a pin means to the unit: functions 0 and 13 use neither channel nor setting.
PinAssignment meaning(PinAssignment pin) {
    if (!usesChannelAndSetting(pin.pinFunction)) {
        pin.pinMidiChannel = 0;
        pin.pinSubFunction = 0;
    }
    return pin;
}

ProgramData meaning(ProgramData data) {
    for (auto& pin : data.pins) {
        pin = meaning(pin);
    }
    return data;
}

ProgramData decoded(ByteView image) {
    auto data = decodeProgramData(image);
    EXPECT_TRUE(data) << data.error();
    return data ? *data : ProgramData{};
}

TEST(ProgramImage, BlankImageIsFullOfFFThenZeros) {
    const auto image = newProgramDataImage();
    ASSERT_EQ(image.size(), 260u);
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 255), Bytes(255, 0xFF));
    EXPECT_EQ(Bytes(image.begin() + 255, image.end()), Bytes(5, 0x00));
}

TEST(ProgramImage, BlankImageDecodesToTheLastKeyboardAndEveryOptionTicked) {
    const auto data = decoded(newProgramDataImage());
    for (const auto& channel : data.channels) {
        EXPECT_EQ(channel.inputKeyboard, 4);  // "IN4 (Pedal)": the last mask wins
        EXPECT_EQ(channel.analogInput, 4);
        EXPECT_EQ(channel.controllerType, 1);
        EXPECT_EQ(channel.keyOffset, 91);
    }
    EXPECT_EQ(data.archiveAnalogInput, 0);
    EXPECT_EQ(data.archiveMidiChannel, 15);
    EXPECT_EQ(data.tuningInput, 0);
    EXPECT_EQ(data.tuningOptions, (std::array<bool, 5>{true, true, true, true, true}));
    for (const auto& pin : data.pins) {
        EXPECT_EQ(pin.pinFunction, kUnassigned);
    }
}

TEST(ProgramImage, FreshEditorEncodesToTheDocumentedBytes) {
    const auto image = encodeProgramData(ProgramData{});
    ASSERT_EQ(image.size(), 260u);
    auto expected = newProgramDataImage();
    at(expected, 1) = 18;
    at(expected, 2) = 9;
    for (int p = 3; p <= 35; ++p) {
        at(expected, p) = 0;
    }
    at(expected, 27) = 0x07;
    at(expected, 38) = 0x07;
    for (int row = 1; row <= kPinRows; ++row) {
        at(expected, pinTypePosition(row)) = 0xFD;
        at(expected, pinTypePosition(row) + 1) = 0xFD;
    }
    EXPECT_EQ(image, expected);
}

TEST(ProgramImage, FormatByteFollowsTheUnitsFirmware) {
    EXPECT_EQ(encodeProgramData(ProgramData{}, 0)[0], 18);
    EXPECT_EQ(encodeProgramData(ProgramData{}, 18)[0], 19);
    EXPECT_EQ(encodeProgramData(ProgramData{}, 19)[0], 18);
}

// Every kind of pin, as the unit stores it and as the editor shows it.
struct PinCase {
    std::uint8_t type;
    std::uint8_t value;
    PinAssignment pin;
    bool encodesBack;  // whether encoding the pin gives the same two bytes
};

TEST(ProgramImage, EveryPinKindDecodes) {
    const PinCase cases[] = {
        {0x00, 0x00, {kRomanticStop, 0, 0}, true},
        {0x03, 0x16, {kRomanticStop, 3, 19}, true},
        {0x01, 0x1A, {kClassicStop, 1, 0}, true},
        {0x02, 0x2E, {kAhlborn202Stop, 2, 0}, true},
        {0x0F, 0x55, {kAhlborn201Stop, 15, 19}, true},
        {0x04, 0x10, {kCommonAhlborn, 4, 2}, true},
        {0x04, 0xFF, {kCommonAhlborn, 4, 61}, true},
        {0x07, 0x5B, {kUnassigned, 7, 0}, false},  // no table holds 0x5B
        {0x52, 0x05, {kMidiStop, 2, 2}, false},    // bit 0 is ignored when reading
        {0x59, 0x03, {kMidiStop, 9, 1}, true},
        {0x43, 0x85, {kBankSelectMsb, 3, 5}, true},
        {0x43, 0x05, {kBankSelectLsb, 3, 5}, true},
        {0x1F, 0x7F, {kProgramChange, 15, 127}, true},
        {0x15, 0x80, {kUnassigned, -1, -1}, false},
        {0x70, 0x3C, {kNoteOnOff, 0, 60}, true},
        {0x7E, 0xC8, {kNoteOnOff, 14, 200}, true},  // kept above 127 and written back
        {0x80, 0x00, {kTq450Cancel, 0, 0}, true},
        {0x85, 0x00, {kTq450Cancel, 5, 0}, false},  // the cancel is always written on channel 0
        {0x80, 0x80, {kTq450Trem, 0, 0}, true},
        {0x8A, 0xFF, {kTq450Trem, 10, 127}, true},
        {0x80, 0x3C, {kTq450Stop, 0, 35}, true},  // "Unit #3, Tab #12"
        {0x80, 0x7C, {kTq450Stop, 0, 83}, true},
        {0x80, 0x0D, {kTq450Stop, 0, 0}, false},  // unit 0 is out of range
        {0x80, 0x1D, {kTq450Stop, 0, 0}, false},  // tab 13 is out of range
        {0xFD, 0xFD, {kUnassigned, -1, -1}, true},
        {0x20, 0x01, {kUnassigned, -1, -1}, false},
        {0x3A, 0x01, {kUnassigned, -1, -1}, false},
        {0x60, 0x01, {kUnassigned, -1, -1}, false},
        {0x9F, 0x01, {kUnassigned, -1, -1}, false},
        {0xF0, 0x01, {kUnassigned, -1, -1}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << "type " << int{c.type} << " value " << int{c.value});
        const auto image = imageWithPin(7, c.type, c.value);
        const auto data = decoded(image);
        EXPECT_EQ(data.pins[6], c.pin);
        const auto again = encodeProgramData(data);
        if (c.encodesBack) {
            EXPECT_EQ(again[pinTypePosition(7) - 1], c.type);
            EXPECT_EQ(again[pinTypePosition(7)], c.value);
        }
        // Whatever was read, writing it and reading again shows the same pin.
        EXPECT_EQ(meaning(decoded(again).pins[6]), meaning(c.pin));
    }
}

TEST(ProgramImage, EveryPinFunctionEncodes) {
    struct Case {
        PinAssignment pin;
        std::uint8_t type;
        std::uint8_t value;
    };
    const Case cases[] = {
        // What decoding cannot produce: unused fields set, and each list's last entry.
        {{kUnassigned, 5, 3}, 0xFD, 0xFD},      {{kRomanticStop, 1, 4}, 0x01, 0x06},
        {{kClassicStop, 0, 19}, 0x00, 0x2D},    {{kAhlborn202Stop, 2, 13}, 0x02, 0x3B},
        {{kAhlborn201Stop, 15, 0}, 0x0F, 0x42}, {{kCommonAhlborn, 0, 64}, 0x00, 0x5F},
        {{kMidiStop, 7, 3}, 0x57, 0x06},        {{kProgramChange, 12, 0}, 0x1C, 0x00},
        {{kNoteOnOff, 0, 127}, 0x70, 0x7F},     {{kTq450Stop, 4, 0}, 0x84, 0x11},
        {{kTq450Cancel, 6, 9}, 0x80, 0x00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(functionNames()[c.pin.pinFunction]);
        ProgramData data;
        data.pins[104] = c.pin;
        const auto image = encodeProgramData(data);
        EXPECT_EQ(image[pinTypePosition(105) - 1], c.type);
        EXPECT_EQ(image[pinTypePosition(105)], c.value);
    }
}

TEST(ProgramImage, ChannelRowsDecodeFromPairsMasksAndOffsets) {
    auto image = newProgramDataImage();
    for (int p = 28; p <= 35; ++p) {
        at(image, p) = 0;
    }
    at(image, 28) = 0x10;  // keyboard 1, channel 5
    at(image, 32) = 0x10;  // keyboard 3, channel 5: the later keyboard wins
    at(image, 35) = 0x80;  // keyboard 4, channel 16
    at(image, 3) = 0x85;   // channel 1: "#2", Volume; channel 2: "None", Expression
    at(image, 11) = 36;
    at(image, 12) = 0;
    at(image, 13) = 127;
    at(image, 14) = 200;
    at(image, 27) = 0x34;
    at(image, 38) = 0x4C;  // "#6", options 0 and 3
    const auto data = decoded(image);
    EXPECT_EQ(data.channels[4].inputKeyboard, 3);
    EXPECT_EQ(data.channels[15].inputKeyboard, 4);
    EXPECT_EQ(data.channels[0].inputKeyboard, 0);
    EXPECT_EQ(data.channels[0].analogInput, 2);
    EXPECT_EQ(data.channels[0].controllerType, 0);
    EXPECT_EQ(data.channels[1].analogInput, 0);
    EXPECT_EQ(data.channels[1].controllerType, 1);
    EXPECT_EQ(data.channels[0].keyOffset, 0);
    EXPECT_EQ(data.channels[1].keyOffset, -36);
    EXPECT_EQ(data.channels[2].keyOffset, 91);
    EXPECT_EQ(data.channels[3].keyOffset, 91);
    EXPECT_EQ(data.archiveAnalogInput, 5);
    EXPECT_EQ(data.archiveMidiChannel, 3);
    EXPECT_EQ(data.tuningInput, 5);
    EXPECT_EQ(data.tuningOptions, (std::array<bool, 5>{true, false, false, true, false}));

    at(image, 27) = 0x05;
    at(image, 38) = 0x06;
    const auto none = decoded(image);
    EXPECT_EQ(none.archiveAnalogInput, 0);
    EXPECT_EQ(none.archiveMidiChannel, 0);
    EXPECT_EQ(none.tuningInput, 0);
}

TEST(ProgramImage, ChannelSettingsEncodeIntoTheirBytes) {
    ProgramData data;
    data.channels[11].inputKeyboard = 3;
    data.channels[0] = {1, 4, 1, 91};
    data.channels[1] = {0, 1, 0, 0};
    data.archiveAnalogInput = 5;
    data.archiveMidiChannel = 3;
    data.tuningInput = 5;
    data.tuningOptions = {false, true, false, false, true};
    auto image = encodeProgramData(data);
    EXPECT_EQ(at(image, 33), 0x08);  // channel 12 on "IN3 (Choir)"
    EXPECT_EQ(at(image, 28), 0x01);
    EXPECT_EQ(at(image, 3), 0x4F);
    EXPECT_EQ(at(image, 11), 127);
    EXPECT_EQ(at(image, 12), 36);
    EXPECT_EQ(at(image, 27), 0x34);
    EXPECT_EQ(at(image, 38), 0x94);
}

TEST(ProgramImage, ShortImageIsRefusedAndChangesNothing) {
    ProgramData data;
    data.pins[0] = {kNoteOnOff, 3, 64};
    data.channels[2].keyOffset = 12;
    const auto before = data;
    const Bytes shortImage(255, 0x00);
    const auto status = decodeProgramData(shortImage, data);
    EXPECT_FALSE(status);
    EXPECT_NE(status.error().find("255"), std::string::npos);
    EXPECT_EQ(data, before);
    EXPECT_FALSE(decodeProgramData(Bytes{}));
    // The unit's 256 bytes are enough.
    const auto blank = newProgramDataImage();
    EXPECT_TRUE(decodeProgramData(ByteView(blank).first(256)));
}

ProgramData randomValidModel(std::mt19937& random) {
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    ProgramData data;
    for (auto& channel : data.channels) {
        channel = {pick(0, 4), pick(0, 4), pick(0, 1), pick(-36, 91)};
    }
    data.archiveAnalogInput = pick(0, 5);
    data.archiveMidiChannel = pick(0, 15);
    data.tuningInput = pick(0, 5);
    for (auto& option : data.tuningOptions) {
        option = pick(0, 1) == 1;
    }
    for (auto& pin : data.pins) {
        pin.pinFunction = pick(0, 13);
        if (!usesChannelAndSetting(pin.pinFunction)) {
            continue;  // channel and setting stay 0, as the editor leaves them
        }
        pin.pinMidiChannel = pick(0, 15);
        switch (pin.pinFunction) {
            case kMidiStop:
                pin.pinSubFunction = pick(0, 3);
                break;
            case kNoteOnOff:
                pin.pinSubFunction = pick(0, 255);
                break;
            case kBankSelectMsb:
            case kBankSelectLsb:
            case kProgramChange:
            case kTq450Trem:
                pin.pinSubFunction = pick(0, 127);
                break;
            default: {
                // Stop codes that two tables share read back as the lower function, so the
                // random model takes the position findStopCode would give.
                const auto& codes = parameterCodes(pin.pinFunction);
                const auto code = codes[pick(0, static_cast<int>(codes.size()) - 1)];
                if (pin.pinFunction == kTq450Stop) {
                    pin.pinSubFunction = (code / 16 - 1) * 12 + code % 16 - 1;
                } else {
                    const auto match = findStopCode(code);
                    pin.pinFunction = match->function;
                    pin.pinSubFunction = match->position;
                }
            }
        }
    }
    return data;
}

TEST(ProgramImage, ValidModelsSurviveEncodingAndDecoding) {
    std::mt19937 random(2024);
    for (int round = 0; round < 500; ++round) {
        const auto model = randomValidModel(random);
        const auto image = encodeProgramData(model);
        ASSERT_EQ(image.size(), kImageBytes);
        EXPECT_EQ(meaning(decoded(image)), model) << "round " << round;
    }
}

TEST(ProgramImage, AnyImageIsStableAfterOneRoundTrip) {
    std::mt19937 random(99);
    for (int round = 0; round < 500; ++round) {
        Bytes image(kImageBytes);
        for (auto& b : image) {
            b = static_cast<std::uint8_t>(random());
        }
        const auto first = decoded(image);
        const auto written = encodeProgramData(first);
        const auto second = decoded(written);
        // Pins that read as "Unassigned" or "TQ-450 Cancel" forget their channel and
        // setting; everything else is kept.
        EXPECT_EQ(meaning(second), meaning(first)) << "round " << round;
        EXPECT_EQ(encodeProgramData(second), written) << "round " << round;
    }
}

TEST(ProgramImage, UpdateMessagesCarryTheFourBlocksOfAPage) {
    auto image = newProgramDataImage();
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7);
    }
    struct Case {
        unsigned page;
        Bytes addresses[4];
    };
    const Case cases[] = {
        {0, {{0x00, 0x00, 0x00}, {0x40, 0x00, 0x00}, {0x00, 0x01, 0x00}, {0x40, 0x01, 0x00}}},
        {2, {{0x00, 0x04, 0x00}, {0x40, 0x04, 0x00}, {0x00, 0x05, 0x00}, {0x40, 0x05, 0x00}}},
        {3, {{0x00, 0x06, 0x00}, {0x40, 0x06, 0x00}, {0x00, 0x07, 0x00}, {0x40, 0x07, 0x00}}},
        {255, {{0x00, 0x7E, 0x03}, {0x40, 0x7E, 0x03}, {0x00, 0x7F, 0x03}, {0x40, 0x7F, 0x03}}},
    };
    for (const auto& c : cases) {
        const auto messages = programUpdateMessages(0x05, c.page, image);
        for (int k = 0; k < 4; ++k) {
            const auto& m = messages[k];
            ASSERT_EQ(m.size(), kUpdateMessageBytes);
            EXPECT_EQ(Bytes(m.begin(), m.begin() + 10),
                      (Bytes{0xF0, 0x00, 0x21, 0x5E, 0x05, 0x04, 0x01, 0x08, 0x00, 0x00}));
            EXPECT_EQ(Bytes(m.begin() + 10, m.begin() + 13), c.addresses[k]) << "block " << k;
            EXPECT_EQ(m[13], 0x4A);
            EXPECT_EQ(m.back(), 0xF7);
            const auto data = unpackSevenBit(ByteView(m).subspan(14, 74)).bytes;
            EXPECT_EQ(data, Bytes(image.begin() + 64 * k, image.begin() + 64 * (k + 1)));
        }
    }
}

}  // namespace
}  // namespace vrx
