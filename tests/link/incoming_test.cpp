// What arriving messages change in the device link, in every state.
#include <gtest/gtest.h>

#include "link/link_bench.h"
#include "protocol/messages.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

using testing::LinkBench;

Bytes response(ByteView raw) {
    Bytes m = {0xF0, 0x00, 0x21, 0x5E, 0x05, 0x04, 0x01, 0x04, 0x00, 0x00, 0x00};
    const auto packed = packSevenBit(raw);
    m.insert(m.end(), packed.begin(), packed.end());
    m.push_back(0xF7);
    return m;
}

Bytes identityReply() {
    return {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x21, 0x5E, 0x01, 0x00, 0x01,
            0x05, 0x09, 0x0C, 0x1F, 0x00, 0x04, 0x00, 0x08, 0x00, 0x12, 0xF7};
}

// Brings a bench to the moment its request has gone out.
void loadUntilRequestSent(LinkBench& bench, int program) {
    bench.view.promptAnswers = {program};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateRequestSent; }));
    bench.tick();  // "r" went out with the prompt; this tick sends the request
}

TEST(IncomingHandling, ResponsesSplitAnyWayCompleteTheRequest) {
    for (const int parts : {1, 2, 4, 8}) {
        SimulatedUnitSettings settings;
        settings.responseParts = parts;
        LinkBench bench(settings);
        loadUntilRequestSent(bench, 6);
        ASSERT_TRUE(bench.tickUntil([&] { return !bench.view.decoded.empty(); }));
        ASSERT_EQ(bench.view.decoded.size(), 1u) << parts << " parts";
        EXPECT_EQ(bench.view.decoded.front(), bench.unit.program(6)) << parts << " parts";
        EXPECT_EQ(bench.link.receivedProgramData().data().size(), kProgramBytes);
    }
}

TEST(IncomingHandling, PartsBeforeTheLastLeaveTheLinkReceiving) {
    LinkBench bench;
    loadUntilRequestSent(bench, 1);
    const Bytes quarter(64, 0x41);
    for (int k = 1; k <= 3; ++k) {
        bench.link.handleSysexMessage(response(quarter));
        EXPECT_EQ(bench.link.commState(), kStateReceiving) << "part " << k;
    }
    bench.link.handleSysexMessage(response(quarter));
    EXPECT_EQ(bench.link.commState(), kStateFinished);
    EXPECT_EQ(bench.view.decoded.front(), Bytes(kProgramBytes, 0x41));
    EXPECT_EQ(bench.link.outputQueue().midiOutQueue().back(), "f0 00 21 5e 00 04 01 20 f7 ");
}

TEST(IncomingHandling, MessagesInTheWrongStateChangeNothing) {
    LinkBench bench;
    // Idle: a response and an Identity Reply are ignored.
    bench.link.handleSysexMessage(response(Bytes(kProgramBytes, 1)));
    bench.link.handleSysexMessage(identityReply());
    EXPECT_EQ(bench.link.commState(), kStateIdle);
    EXPECT_EQ(bench.link.programCount(), 0);
    EXPECT_TRUE(bench.view.decoded.empty());

    // Waiting for a response: an Identity Reply is ignored.
    loadUntilRequestSent(bench, 2);
    bench.link.handleSysexMessage(identityReply());
    EXPECT_EQ(bench.link.commState(), kStateRequestSent);
    EXPECT_EQ(bench.link.programCount(), 16);

    // After the result: a late response is ignored.
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));
    bench.link.handleSysexMessage(response(Bytes(kProgramBytes, 1)));
    EXPECT_EQ(bench.link.commState(), kStateResultShown);
    EXPECT_EQ(bench.view.decoded.size(), 1u);
}

TEST(IncomingHandling, OwnMessagesEchoedBackOnAMidiLoopChangeNothing) {
    LinkBench bench;
    bench.unit.faults().echo = true;
    loadUntilRequestSent(bench, 3);
    ASSERT_TRUE(bench.tickUntil([&] { return !bench.view.decoded.empty(); }));
    EXPECT_EQ(bench.view.decoded.front(), bench.unit.program(3));
    bench.ticks(3);
    for (const auto& own : {tagMessage(), identityRequest(), programRequest(0, 2), vrxReboot(0)}) {
        const auto state = bench.link.commState();
        bench.link.handleSysexMessage(own);
        EXPECT_EQ(bench.link.commState(), state);
    }
    EXPECT_EQ(bench.view.decoded.size(), 1u);
    EXPECT_TRUE(bench.view.messages.empty());
}

TEST(IncomingHandling, ResponsesWithoutCompleteHeaderCarryNoData) {
    LinkBench bench;
    loadUntilRequestSent(bench, 1);
    bench.link.handleSysexMessage(response(Bytes(100, 2)));  // 100 bytes gathered
    EXPECT_EQ(bench.link.receivedProgramData().data().size(), 100u);
    for (std::size_t length : {8u, 9u, 11u, 12u}) {
        Bytes m = response({});
        m.resize(length - 1);
        m.push_back(0xF7);
        bench.link.handleSysexMessage(m);
        EXPECT_EQ(bench.link.commState(), kStateReceiving) << length << " bytes";
        EXPECT_EQ(bench.link.receivedProgramData().data().size(), 100u) << length << " bytes";
    }
    EXPECT_TRUE(bench.view.messages.empty());
}

TEST(IncomingHandling, TwelveByteResponseInStateFortyTwoEmptiesTheGatheredData) {
    LinkBench bench;
    loadUntilRequestSent(bench, 1);
    bench.link.handleSysexMessage(response({}));
    EXPECT_EQ(bench.link.commState(), kStateReceiving);
    EXPECT_TRUE(bench.link.receivedProgramData().data().empty());
}

TEST(IncomingHandling, ShortIdentityReplyIsIgnored) {
    LinkBench bench;
    bench.unit.faults().silent = true;
    bench.link.loadFromDevice();
    bench.ticks(3);
    auto reply = identityReply();
    reply.resize(15);
    reply.push_back(0xF7);
    bench.link.handleSysexMessage(reply);
    EXPECT_EQ(bench.link.commState(), kStateAwaitingIdentity);
    bench.link.handleSysexMessage(identityReply());
    EXPECT_EQ(bench.link.commState(), kStateIdentityReceived);
    EXPECT_EQ(bench.link.dipSwitchProgram(), 5);
    EXPECT_EQ(bench.link.programCount(), 8);
    EXPECT_EQ(bench.link.firmwareVersionByte(), 0x12);
}

}  // namespace
}  // namespace vrx
