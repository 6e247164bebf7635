#include "protocol/messages.h"

#include <gtest/gtest.h>

#include <random>

#include "protocol/hex_text.h"
#include "protocol/response_gatherer.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

std::optional<Bytes> hexBytes(std::string_view text) {
    const auto bytes = hexTextToBytes(text);
    return bytes ? std::optional(*bytes) : std::nullopt;
}

TEST(HexText, WritesTwoLowerCaseDigitsAndASpaceAndReadsOnlyHexGroups) {
    EXPECT_EQ(bytesToHexText(Bytes{0xF0, 0x0A, 0xF7}), "f0 0a f7 ");
    EXPECT_EQ(hexBytes("F0 7E 00 06 01 "), (Bytes{0xF0, 0x7E, 0x00, 0x06, 0x01}));
    EXPECT_EQ(hexBytes(" 04 01 03 "), (Bytes{0x04, 0x01, 0x03}));
    EXPECT_EQ(hexBytes("0A 5 b"), (Bytes{0x0A, 0x05, 0x0B}));
    // Only the first group needs both digits.
    for (const char* text : {"", " ", "g0 00", "f0 zz", "f0  00", "f0 123", "5 0a", "f"}) {
        EXPECT_EQ(hexBytes(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(SevenBit, PacksTheHighBitsIntoALeadingFlagByteAndUnpacksAnyBytes) {
    EXPECT_EQ(packSevenBit(Bytes{0x81, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x87}),
              (Bytes{0x40, 0x01, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x40, 0x07}));
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Bytes raw(random() % 300);
        for (auto& b : raw) {
            b = static_cast<std::uint8_t>(random());
        }
        const auto unpacked = unpackSevenBit(packSevenBit(raw));
        EXPECT_EQ(unpacked.bytes, raw);
        EXPECT_TRUE(unpacked.badPositions.empty());
    }
}

TEST(Messages, BuildsEachMessageAsTheUnitExpectsIt) {
    struct Case {
        Bytes built;
        Bytes wire;
    };
    const Case cases[] = {
        {tagMessage(), {0xF0, 0x00, 0x21, 0x5E, 0x7F, 0x04, 0x02, 0x01, 0xF7}},
        {identityRequest(), {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}},
        {vrxReboot(0), {0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x20, 0xF7}},
        {programRequest(0, 2),  // program 3's page
         {0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x03, 0x00, 0x04, 0x00, 0x00, 0x02, 0xF7}},
        {programResponse(0x05, Bytes{0x80}),
         {0xF0, 0x00, 0x21, 0x5E, 0x05, 0x04, 0x01, 0x04, 0, 0, 0, 0x40, 0x00, 0xF7}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.built, c.wire);
    }
}

TEST(Messages, UpdateCarriesAddressLengthAndPackedBlockAndIsReadOnlyWhole) {
    auto m = programUpdate(0, 704, Bytes(64, 0xFF));
    ASSERT_EQ(m.size(), kUpdateMessageBytes);
    EXPECT_EQ(Bytes(m.begin() + 8, m.begin() + 14), (Bytes{0x00, 0x00, 0x40, 0x05, 0x00, 0x4A}));
    EXPECT_EQ(m.back(), 0xF7);
    const auto block = parseProgramUpdate(m);
    ASSERT_TRUE(block);
    EXPECT_EQ(std::pair(block->address, block->data), std::pair(704u, Bytes(64, 0xFF)));

    m[13] = 0x49;  // a length byte that disagrees
    EXPECT_FALSE(parseProgramUpdate(m));
    m[13] = 0x4A;
    m[20] = 0x85;  // a packed byte above 127
    EXPECT_FALSE(parseProgramUpdate(m));
}

TEST(Messages, IdentityReplyFromAnyDeviceIsReadAndAShortOneIgnored) {
    for (std::uint8_t device : {0x00, 0x7F}) {
        // F0 7E dev 06 02, manufacturer and family, then version, date, DIP program and count
        // (its high group is 1, so 128 + 16).
        Bytes m{0xF0, 0x7E, device, 0x06, 0x02, 0x00, 0x21, 0x5E, 0x01, 0x00, 0x01,
                0x05, 0x09, 0x0C,   0x1F, 0x00, 0x04, 0x00, 0x10, 0x01, 0x12, 0xF7};
        const auto reply = parseIdentityReply(m);
        ASSERT_TRUE(reply);
        EXPECT_EQ(std::tuple(reply->firmwareVersionText, reply->dipSwitchProgram,
                             reply->programCount, reply->firmwareVersionByte),
                  std::tuple("1.5, 12/31/2009", 5, 144, 0x12));
        m.erase(m.begin() + 20);
        EXPECT_FALSE(parseIdentityReply(m));
    }
}

TEST(Messages, ResponsesAreRecognisedAndGatheredWithBadBytesNamed) {
    auto response = programResponse(0x05, Bytes{0x81, 0x02, 0x03});
    EXPECT_TRUE(isProgramResponse(response));
    EXPECT_EQ(programResponsePayload(response).size(), 4u);
    EXPECT_FALSE(isProgramResponse(programRequest(0, 0)));

    ResponseGatherer gatherer;
    gatherer.append(programResponse(0, Bytes(100, 0x11)));
    gatherer.restart(3);
    response.insert(response.begin() + 13, 0x90);  // between the first two data bytes
    EXPECT_EQ(gatherer.append(response).badPositions, std::vector<std::size_t>{3});
    EXPECT_EQ(gatherer.data(), (Bytes{0x81, 0x02, 0x03}));
    EXPECT_TRUE(gatherer.complete());
}

}  // namespace
}  // namespace vrx
