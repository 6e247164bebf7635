#include "protocol/hex_text.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(HexText, WritesTwoLowerCaseDigitsAndASpacePerByte) {
    EXPECT_EQ(bytesToHexText(Bytes{0xF0, 0x00, 0xF7}), "f0 00 f7 ");
    EXPECT_EQ(bytesToHexText(Bytes{}), "");
    EXPECT_EQ(byteToHex2(0x0A), "0a");
}

TEST(HexText, ReadsWhatTheTemplatesAndFilesHold) {
    struct Case {
        const char* text;
        Bytes bytes;
    };
    const Case cases[] = {
        {"f0 00 f7 ", {0xF0, 0x00, 0xF7}},
        {"F0 7E 00 06 01 ", {0xF0, 0x7E, 0x00, 0x06, 0x01}},
        {" 04 01 03 ", {0x04, 0x01, 0x03}},
        {"0A 5 b", {0x0A, 0x05, 0x0B}},
    };
    for (const auto& c : cases) {
        const auto bytes = hexTextToBytes(c.text);
        ASSERT_TRUE(bytes) << c.text;
        EXPECT_EQ(*bytes, c.bytes) << c.text;
    }
}

TEST(HexText, RefusesTextThatIsNotHexGroups) {
    for (const char* text : {"", " ", "g0 00", "f0 zz", "f0  00", "f0 123", "5 0a", "f"}) {
        EXPECT_FALSE(hexTextToBytes(text)) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace vrx
