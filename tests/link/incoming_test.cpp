// What arriving messages change in the device link, in every state.
#include <gtest/gtest.h>

#include "link/link_bench.h"
#include "protocol/messages.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

using testing::LinkBench;

// A PROGRAM_RESPONSE as the unit sends it, cut to `length` bytes with its F7 kept.
Bytes response(ByteView raw, std::size_t length = 0) {
    Bytes m = {0xF0, 0x00, 0x21, 0x5E, 0x05, 0x04, 0x01, 0x04, 0x00, 0x00, 0x00};
    const auto packed = packSevenBit(raw);
    m.insert(m.end(), packed.begin(), packed.end());
    if (length > 0) {
        m.resize(length - 1);
    }
    m.push_back(0xF7);
    return m;
}

const Bytes kIdentityReply = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x21, 0x5E, 0x01, 0x00, 0x01,
                              0x05, 0x09, 0x0C, 0x1F, 0x00, 0x04, 0x00, 0x08, 0x00, 0x12, 0xF7};

// Brings a bench to the moment its request has gone out.
void loadUntilRequestSent(LinkBench& bench, int program) {
    bench.view.promptAnswers = {program};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateRequestSent; }));
    bench.tick();  // "r" went out with the prompt; this tick sends the request
}

// Parts before the last leave the link receiving; a response too short to hold its
// header carries no data, and one with an empty payload as the first answer starts the
// gathering afresh.
TEST(IncomingHandling, EachPartOfTheAnswerIsGatheredUntilTheProgramIsWhole) {
    LinkBench bench;
    loadUntilRequestSent(bench, 1);
    bench.link.handleSysexMessage(response({}));
    EXPECT_EQ(bench.link.commState(), kStateReceiving);
    EXPECT_TRUE(bench.link.receivedProgramData().data().empty());
    const Bytes quarter(64, 0x41);
    for (int k = 1; k <= 3; ++k) {
        bench.link.handleSysexMessage(response(quarter));
        for (const std::size_t length : {8u, 9u, 11u, 12u}) {
            bench.link.handleSysexMessage(response({}, length));
        }
        EXPECT_EQ(bench.link.commState(), kStateReceiving) << "part " << k;
        EXPECT_EQ(bench.link.receivedProgramData().data().size(), 64u * k);
    }
    bench.link.handleSysexMessage(response(quarter));
    EXPECT_EQ(bench.link.commState(), kStateFinished);
    EXPECT_EQ(bench.view.decoded.front(), Bytes(kProgramBytes, 0x41));
    EXPECT_EQ(bench.link.outputQueue().midiOutQueue().back(), "f0 00 21 5e 00 04 01 20 f7 ");
    EXPECT_TRUE(bench.view.messages.empty());
}

TEST(IncomingHandling, MessagesInTheWrongStateChangeNothing) {
    LinkBench bench;
    // Idle: a response and an Identity Reply are ignored.
    bench.link.handleSysexMessage(response(Bytes(kProgramBytes, 1)));
    bench.link.handleSysexMessage(kIdentityReply);
    EXPECT_EQ(bench.link.commState(), kStateIdle);
    EXPECT_EQ(bench.link.programCount(), 0);

    // Waiting for a response: an Identity Reply, and our own messages echoed back on a
    // MIDI loop, are ignored.
    loadUntilRequestSent(bench, 2);
    for (const auto& m :
         {kIdentityReply, tagMessage(), identityRequest(), programRequest(0, 1), vrxReboot(0)}) {
        bench.link.handleSysexMessage(m);
        EXPECT_EQ(bench.link.commState(), kStateRequestSent);
    }
    EXPECT_EQ(bench.link.programCount(), 16);

    // After the result: a late response is ignored.
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));
    bench.link.handleSysexMessage(response(Bytes(kProgramBytes, 1)));
    EXPECT_EQ(bench.link.commState(), kStateResultShown);
    EXPECT_EQ(bench.view.decoded, std::vector<Bytes>{bench.unit.program(2)});
}

TEST(IncomingHandling, ShortIdentityReplyIsIgnored) {
    LinkBench bench;
    bench.unit.faults().silent = true;
    bench.link.loadFromDevice();
    bench.ticks(3);
    Bytes shortReply(kIdentityReply.begin(), kIdentityReply.begin() + 15);
    shortReply.push_back(0xF7);
    bench.link.handleSysexMessage(shortReply);
    EXPECT_EQ(bench.link.commState(), kStateAwaitingIdentity);
    bench.link.handleSysexMessage(kIdentityReply);
    EXPECT_EQ(bench.link.commState(), kStateIdentityReceived);
    EXPECT_EQ(bench.link.dipSwitchProgram(), 5);
    EXPECT_EQ(bench.link.programCount(), 8);
    EXPECT_EQ(bench.link.firmwareVersionByte(), 0x12);
}

}  // namespace
}  // namespace vrx
