#include "protocol/response_gatherer.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

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
