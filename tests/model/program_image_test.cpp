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

ProgramData decoded(ByteView image) {
    auto data = decodeProgramData(image);
    EXPECT_TRUE(data) << data.error();
    return data ? *data : ProgramData{};
}

// What a pin means to the unit: functions 0 and 13 use neither channel nor setting.
ProgramData meaning(ProgramData data) {
    for (auto& pin : data.pins) {
        if (!usesChannelAndSetting(pin.pinFunction)) {
            pin.pinMidiChannel = 0;
            pin.pinSubFunction = 0;
        }
    }
    return data;
}

// One configuration and its bytes worked out by hand from the unit's documentation, so a
// position wrong in both the encoder and the decoder still shows.
TEST(ProgramImage, SettingsSitAtTheirDocumentedPositions) {
    ProgramData data;
    data.channels[0] = {1, 4, 1, 91};
    data.channels[1] = {0, 1, 0, 0};
    data.channels[11].inputKeyboard = 3;
    data.archiveAnalogInput = 5;
    data.archiveMidiChannel = 3;
    data.tuningInput = 5;
    data.tuningOptions = {false, true, false, false, true};
    data.pins[0] = {kNoteOnOff, 3, 60};
    data.pins[104] = {kMidiStop, 9, 1};

    auto expected = newProgramDataImage();
    // A default configuration writes 0 at positions 3 to 35 and 0xFD into both bytes of each
    // pin, positions 47 to 256.
    std::fill(&at(expected, 3), &at(expected, 35) + 1, 0);
    std::fill(&at(expected, 47), &at(expected, 256) + 1, 0xFD);
    // Format; program number less one; channel 1 "#4" and Expression with channel 2 "#1" and
    // Volume; key offsets +91 and 0; crescendo on channel 4 from "#6"; channel 1 on
    // "IN1 (Swell)"; channel 12 on "IN3 (Choir)"; tuning from "#6" with options 2 and 5;
    // the first and the last pin.
    const std::pair<int, std::uint8_t> bytes[] = {
        {1, 18},    {2, 9},     {3, 0x4F},  {11, 127}, {12, 36},    {27, 0x34},  {28, 0x01},
        {33, 0x08}, {38, 0x94}, {47, 0x73}, {48, 60},  {255, 0x59}, {256, 0x03},
    };
    for (const auto& [position, byte] : bytes) {
        at(expected, position) = byte;
    }
    ASSERT_EQ(expected.size(), 260u);
    EXPECT_EQ(Bytes(expected.begin() + 256, expected.end()), Bytes(4, 0x00));
    EXPECT_EQ(encodeProgramData(data), expected);
    EXPECT_EQ(meaning(decoded(expected)), data);
    // The format byte follows the unit's firmware.
    EXPECT_EQ(encodeProgramData(data, 18)[0], 19);
    EXPECT_EQ(encodeProgramData(data, 19)[0], 18);
}

TEST(ProgramImage, BytesNoEditorWritesReadAsTheUnitMeansThemAndShortImagesAreRefused) {
    // A blank image: the last keyboard whose mask holds a channel wins, an offset above
    // 127 shows +91, analog code 7 is "None" and every option is ticked.
    ProgramData blank;
    blank.channels.fill({4, 4, 1, 91});
    blank.archiveMidiChannel = 15;
    blank.tuningOptions = {true, true, true, true, true};
    blank.pins.fill({kUnassigned, -1, -1});
    EXPECT_EQ(decoded(newProgramDataImage()), blank);

    // Analog codes 5 and 6 are no input either.
    auto image = encodeProgramData(ProgramData{});
    at(image, 27) = 0x05;
    at(image, 38) = 0x06;
    EXPECT_EQ(meaning(decoded(image)), ProgramData{});

    // A short image is refused and changes nothing; the unit's 256 bytes are enough.
    auto kept = blank;
    const auto status = decodeProgramData(Bytes(255, 0x00), kept);
    EXPECT_EQ(status.error(), "the Program Data holds 255 bytes, fewer than 256");
    EXPECT_EQ(kept, blank);
    EXPECT_TRUE(decodeProgramData(ByteView(newProgramDataImage()).first(256)));
}

TEST(ProgramImage, EveryPinKindReadsAndWritesItsTwoBytes) {
    enum Way { kBoth, kReadOnly, kWriteOnly };
    struct Case {
        std::uint8_t type;
        std::uint8_t value;
        PinAssignment pin;
        Way way;
    };
    const Case cases[] = {
        {0x03, 0x16, {kRomanticStop, 3, 19}, kBoth},
        {0x00, 0x11, {kRomanticStop, 0, 14}, kBoth},  // also a TQ-450 code
        {0x01, 0x1A, {kClassicStop, 1, 0}, kBoth},
        {0x02, 0x2E, {kAhlborn202Stop, 2, 0}, kBoth},
        {0x0F, 0x55, {kAhlborn201Stop, 15, 19}, kBoth},
        {0x04, 0x10, {kCommonAhlborn, 4, 2}, kBoth},
        {0x04, 0xFF, {kCommonAhlborn, 4, 61}, kBoth},
        {0x07, 0x5B, {kUnassigned, 7, 0}, kReadOnly},  // no table holds 0x5B
        {0x52, 0x05, {kMidiStop, 2, 2}, kReadOnly},    // bit 0 is ignored when reading
        {0x59, 0x03, {kMidiStop, 9, 1}, kBoth},
        {0x43, 0x85, {kBankSelectMsb, 3, 5}, kBoth},
        {0x43, 0x05, {kBankSelectLsb, 3, 5}, kBoth},
        {0x1F, 0x7F, {kProgramChange, 15, 127}, kBoth},
        {0x15, 0x80, {kUnassigned, -1, -1}, kReadOnly},
        {0x7E, 0xC8, {kNoteOnOff, 14, 200}, kBoth},     // kept above 127 and written back
        {0x85, 0x00, {kTq450Cancel, 5, 0}, kReadOnly},  // always written on channel 0
        {0x80, 0x00, {kTq450Cancel, 6, 9}, kWriteOnly},
        {0x8A, 0xFF, {kTq450Trem, 10, 127}, kBoth},
        {0x80, 0x3C, {kTq450Stop, 0, 35}, kBoth},  // "Unit #3, Tab #12"
        {0x80, 0x7C, {kTq450Stop, 0, 83}, kBoth},
        {0x80, 0x0D, {kTq450Stop, 0, 0}, kReadOnly},  // unit 0 is out of range
        {0x80, 0x1D, {kTq450Stop, 0, 0}, kReadOnly},  // tab 13 is out of range
        {0xFD, 0xFD, {kUnassigned, -1, -1}, kBoth},
        {0xFD, 0xFD, {kUnassigned, 5, 3}, kWriteOnly},
        {0x9F, 0x01, {kUnassigned, -1, -1}, kReadOnly},
        // Each list's last entry, which decoding of a lower code cannot reach.
        {0x00, 0x2D, {kClassicStop, 0, 19}, kWriteOnly},
        {0x02, 0x3B, {kAhlborn202Stop, 2, 13}, kWriteOnly},
        {0x00, 0x5F, {kCommonAhlborn, 0, 64}, kWriteOnly},
        {0x84, 0x11, {kTq450Stop, 4, 0}, kWriteOnly},
        {0x57, 0x06, {kMidiStop, 7, 3}, kWriteOnly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int{c.type} << " " << int{c.value});
        auto image = newProgramDataImage();
        at(image, pinTypePosition(7)) = c.type;  // positions 59 and 60
        at(image, pinTypePosition(7) + 1) = c.value;
        if (c.way != kWriteOnly) {
            EXPECT_EQ(decoded(image).pins[6], c.pin);
        }
        if (c.way != kReadOnly) {
            ProgramData data;
            data.pins[6] = c.pin;
            const auto written = encodeProgramData(data);
            EXPECT_EQ(Bytes(written.begin() + 58, written.begin() + 60), (Bytes{c.type, c.value}));
        }
    }
}

TEST(ProgramImage, AnyImageIsStableAfterOneRoundTrip) {
    std::mt19937 random(99);
    for (int round = 0; round < 1000; ++round) {
        Bytes image(kImageBytes);
        for (auto& b : image) {
            b = static_cast<std::uint8_t>(random());
        }
        const auto first = decoded(image);
        const auto written = encodeProgramData(first);
        // Pins that read as "Unassigned" or "TQ-450 Cancel" forget their channel and
        // setting; everything else is kept.
        EXPECT_EQ(meaning(decoded(written)), meaning(first)) << "round " << round;
        EXPECT_EQ(encodeProgramData(decoded(written)), written) << "round " << round;
    }
}

TEST(ProgramImage, UpdateMessagesCarryTheFourBlocksOfAPage) {
    Bytes image(kImageBytes);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7);
    }
    // Page 255 starts at 255 * 256 = 0xFF00, sent as three seven-bit groups, low first.
    const std::uint8_t addresses[4][3] = {
        {0x00, 0x7E, 0x03}, {0x40, 0x7E, 0x03}, {0x00, 0x7F, 0x03}, {0x40, 0x7F, 0x03}};
    const auto messages = programUpdateMessages(0x05, 255, image);
    for (int k = 0; k < 4; ++k) {
        const auto& m = messages[k];
        ASSERT_EQ(m.size(), kUpdateMessageBytes);
        EXPECT_EQ(Bytes(m.begin(), m.begin() + 14),
                  (Bytes{0xF0, 0x00, 0x21, 0x5E, 0x05, 0x04, 0x01, 0x08, 0x00, 0x00,
                         addresses[k][0], addresses[k][1], addresses[k][2], 0x4A}));
        EXPECT_EQ(m.back(), 0xF7);
        EXPECT_EQ(unpackSevenBit(ByteView(m).subspan(14, 74)).bytes,
                  Bytes(image.begin() + 64 * k, image.begin() + 64 * (k + 1)));
    }
}

}  // namespace
}  // namespace vrx
