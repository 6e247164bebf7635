#include "protocol/messages.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

Bytes identityReplyBytes(std::uint8_t device) {
    // F0 7E dev 06 02, manufacturer and family, then version, date, DIP program, count.
    return {0xF0, 0x7E, device, 0x06, 0x02, 0x00, 0x21, 0x5E, 0x01, 0x00, 0x01,
            0x05, 0x09, 0x0C,   0x1F, 0x00, 0x04, 0x00, 0x10, 0x00, 0x12, 0xF7};
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
    EXPECT_EQ(programResponse(0, Bytes(256, 0xAA)).size(), kResponseHeaderBytes + 293 + 1);
}

TEST(Messages, UpdateCarriesAddressLengthAndPackedBlock) {
    const auto m = programUpdate(0, 704, Bytes(64, 0xFF));
    ASSERT_EQ(m.size(), kUpdateMessageBytes);
    EXPECT_EQ(Bytes(m.begin() + 8, m.begin() + 14), (Bytes{0x00, 0x00, 0x40, 0x05, 0x00, 0x4A}));
    EXPECT_EQ(m.back(), 0xF7);
    const auto block = parseProgramUpdate(m);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->address, 704u);
    EXPECT_EQ(block->data, Bytes(64, 0xFF));
}

TEST(Messages, IdentityReplyFromAnyDeviceIsRead) {
    for (std::uint8_t device : {0x00, 0x7F}) {
        const auto reply = parseIdentityReply(identityReplyBytes(device));
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->firmwareVersionText, "1.5, 12/31/2009");
        EXPECT_EQ(reply->dipSwitchProgram, 5);
        EXPECT_EQ(reply->programCount, 16);
        EXPECT_EQ(reply->firmwareVersionByte, 0x12);
    }
}

TEST(Messages, IdentityReplyTooShortForItsFieldsIsIgnored) {
    auto reply = identityReplyBytes(0);
    reply.erase(reply.begin() + 20);
    EXPECT_FALSE(parseIdentityReply(reply));
    EXPECT_FALSE(parseIdentityReply(Bytes{0xF0, 0x7E, 0x00, 0x06, 0x02, 0xF7}));
}

TEST(Messages, RecognisesResponsesWhateverTheDevice) {
    Bytes response{0xF0, 0x00, 0x21, 0x5E, 0x05, 0x04, 0x01, 0x04, 0, 0, 0, 0x40, 0x00, 0xF7};
    EXPECT_TRUE(isProgramResponse(response));
    EXPECT_EQ(programResponsePayload(response).size(), 2u);
    EXPECT_FALSE(isProgramResponse(programRequest(0, 0)));
    EXPECT_FALSE(isProgramResponse(tagMessage()));
}

TEST(Messages, UpdateWithAWrongLengthByteIsNotRead) {
    auto m = programUpdate(0, 0, Bytes(64, 0x01));
    m[13] = 0x49;
    EXPECT_FALSE(parseProgramUpdate(m));
    m[13] = 0x4A;
    m[20] = 0x85;  // a packed byte above 127
    EXPECT_FALSE(parseProgramUpdate(m));
}

}  // namespace
}  // namespace vrx
