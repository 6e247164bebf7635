#include "protocol/response_gatherer.h"

#include <gtest/gtest.h>

#include <numeric>

namespace vrx {
namespace {

Bytes programBytes() {
    Bytes raw(kProgramBytes);
    std::iota(raw.begin(), raw.end(), std::uint8_t{0});
    return raw;
}

TEST(ResponseGatherer, CompletesFromOneToEightResponses) {
    const auto raw = programBytes();
    for (std::size_t parts : {1u, 2u, 4u, 8u}) {
        ResponseGatherer gatherer;
        const auto size = raw.size() / parts;
        for (std::size_t p = 0; p < parts; ++p) {
            EXPECT_FALSE(gatherer.complete()) << parts << " parts, part " << p;
            const auto message = programResponse(static_cast<std::uint8_t>(p),
                                                 ByteView(raw).subspan(p * size, size));
            if (parts == 4) {
                EXPECT_EQ(message.size(), 86u);
            }
            EXPECT_TRUE(gatherer.append(message).badPositions.empty());
        }
        EXPECT_TRUE(gatherer.complete()) << parts;
        EXPECT_EQ(gatherer.data(), raw);
    }
}

TEST(ResponseGatherer, EmptyResponsesAddNothing) {
    ResponseGatherer gatherer;
    gatherer.append(Bytes{0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x04, 0, 0, 0, 0xF7});
    gatherer.append(Bytes{0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x04, 0xF7});
    gatherer.append(Bytes{});
    EXPECT_TRUE(gatherer.data().empty());
    EXPECT_FALSE(gatherer.complete());
}

TEST(ResponseGatherer, BytesAboveTheDataRangeAreDroppedAndNamed) {
    auto message = programResponse(0, Bytes{0x81, 0x02, 0x03});
    message.insert(message.begin() + 13, 0x90);  // between the first two data bytes
    ResponseGatherer gatherer;
    const auto unpacked = gatherer.append(message);
    EXPECT_EQ(unpacked.badPositions, std::vector<std::size_t>{3});
    EXPECT_EQ(gatherer.data(), (Bytes{0x81, 0x02, 0x03}));
}

TEST(ResponseGatherer, RestartForgetsTheEarlierRequest) {
    ResponseGatherer gatherer;
    gatherer.append(programResponse(0, Bytes(100, 0x11)));
    gatherer.restart(64);
    EXPECT_TRUE(gatherer.data().empty());
    EXPECT_EQ(gatherer.expectedLength(), 64u);
    gatherer.append(programResponse(0, Bytes(64, 0x22)));
    EXPECT_TRUE(gatherer.complete());
    EXPECT_EQ(gatherer.data(), Bytes(64, 0x22));
}

}  // namespace
}  // namespace vrx
