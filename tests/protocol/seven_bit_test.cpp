#include "protocol/seven_bit.h"

#include <gtest/gtest.h>

#include <random>

namespace vrx {
namespace {

TEST(SevenBit, PacksTheHighBitsIntoALeadingFlagByte) {
    EXPECT_EQ(packSevenBit(Bytes{0x80}), (Bytes{0x40, 0x00}));
    EXPECT_EQ(packSevenBit(Bytes{0x81, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x87}),
              (Bytes{0x40, 0x01, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x40, 0x07}));
    EXPECT_EQ(unpackSevenBit(Bytes{0x40, 0x00}).bytes, Bytes{0x80});
    EXPECT_TRUE(unpackSevenBit(Bytes{}).bytes.empty());
}

TEST(SevenBit, UnpackingRestoresAnyBytes) {
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

TEST(SevenBit, BytesAboveSevenBitsAreDroppedAndReported) {
    const auto unpacked = unpackSevenBit(Bytes{0x40, 0x90, 0x00, 0xFF, 0x01});
    EXPECT_EQ(unpacked.badPositions, (std::vector<std::size_t>{2, 4}));
    EXPECT_EQ(unpacked.bytes, (Bytes{0x80, 0x01}));
}

TEST(SevenBit, AddressesLeastSignificantGroupFirst) {
    EXPECT_EQ(encodeAddress7(512, 3), (Bytes{0x00, 0x04, 0x00}));
    EXPECT_EQ(encodeAddress7(256, 2), (Bytes{0x00, 0x02}));
    EXPECT_EQ(encodeAddress7(704, 3), (Bytes{0x40, 0x05, 0x00}));
    EXPECT_EQ(fromSevenBitPair(1, 5), 133u);
}

}  // namespace
}  // namespace vrx
