#include "protocol/messages.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

Bytes identityReplyBytes(std::uint8_t device) {
    // F0 7E dev 06 02, manufacturer and family, then version, date, DIP program, count.
    return {0xF0, 0x7E, device, 0x06, 0x02, 0x00, 0x21, 0x5E, 0x01, 0x00, 0x01,
            0x05, 0x09, 0x0C,   0x1F, 0x00, 0x04, 0x00, 0x10, 0x00, 0x12, 0xF7};
}

TEST(Messages, BuildsTheFixedMessages) {
    EXPECT_EQ(tagMessage(), (Bytes{0xF0, 0x00, 0x21, 0x5E, 0x7F, 0x04, 0x02, 0x01, 0xF7}));
    EXPECT_EQ(identityRequest(), (Bytes{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
    EXPECT_EQ(vrxReboot(0), (Bytes{0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x20, 0xF7}));
}

TEST(Messages, RequestForProgramThreeAddressesItsPage) {
    EXPECT_EQ(programRequest(0, 2), (Bytes{0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x03, 0x00,
                                           0x04, 0x00, 0x00, 0x02, 0xF7}));
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

TEST(Messages, FirmwareVersionTextWritesTheCentury) {
    EXPECT_EQ(firmwareVersionText(1, 5, 9, 12, 31), "1.5, 12/31/2009");
    EXPECT_EQ(firmwareVersionText(2, 0, 10, 3, 4), "2.0, 3/4/2010");
}

TEST(Messages, RecognisesResponsesWhateverTheDevice) {
    Bytes response{0xF0, 0x00, 0x21, 0x5E, 0x05, 0x04, 0x01, 0x04, 0, 0, 0, 0x40, 0x00, 0xF7};
    EXPECT_TRUE(isProgramResponse(response));
    EXPECT_EQ(programResponsePayload(response).size(), 2u);
    EXPECT_FALSE(isProgramResponse(programRequest(0, 0)));
    EXPECT_FALSE(isProgramResponse(tagMessage()));
}

TEST(Messages, ResponseAsAUnitSendsIt) {
    const auto m = programResponse(0x05, Bytes{0x80});
    EXPECT_EQ(m,
              (Bytes{0xF0, 0x00, 0x21, 0x5E, 0x05, 0x04, 0x01, 0x04, 0, 0, 0, 0x40, 0x00, 0xF7}));
    EXPECT_TRUE(isProgramResponse(m));
    EXPECT_EQ(programResponse(0, Bytes(256, 0xAA)).size(), kResponseHeaderBytes + 293 + 1);
}

TEST(Messages, UpdateWithAWrongLengthByteIsNotRead) {
    auto m = programUpdate(0, 0, Bytes(64, 0x01));
    m[13] = 0x49;
    EXPECT_FALSE(parseProgramUpdate(m));
    m[13] = 0x4A;
    m[20] = 0x85;  // a packed byte above 127
    EXPECT_FALSE(parseProgramUpdate(m));
}

TEST(Messages, ShortResponsesCarryNoData) {
    const Bytes header{0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x04, 0, 0, 0, 0xF7};
    EXPECT_TRUE(programResponsePayload(header).empty());
    const Bytes truncated{0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x04, 0xF7};
    EXPECT_TRUE(isProgramResponse(truncated));
    EXPECT_TRUE(programResponsePayload(truncated).empty());
}

}  // namespace
}  // namespace vrx
