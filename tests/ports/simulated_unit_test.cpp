#include "ports/simulated_unit.h"

#include <gtest/gtest.h>

#include <set>

#include "model/program_image.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

TEST(SimulatedUnit, AnswersTheIdentityRequestAfterTheWireTime) {
    VirtualClock clock;
    SimulatedUnitSettings settings;
    settings.dipSwitchProgram = 3;
    settings.programCount = 200;
    settings.formatByte = 19;
    SimulatedUnit unit(clock, settings);
    unit.receive(identityRequest());
    // 6 bytes out and 22 back at 31 250 baud, 320 µs a byte: 8.96 ms.
    EXPECT_EQ(unit.nextArrivalMs(), 9);
    clock.advanceTo(8);
    EXPECT_TRUE(unit.takeArrived().empty());
    clock.advanceTo(9);
    const auto arrived = unit.takeArrived();
    ASSERT_EQ(arrived.size(), 1u);
    const auto reply = parseIdentityReply(arrived.front());
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->firmwareVersionText, "1.5, 12/31/2009");
    EXPECT_EQ(reply->dipSwitchProgram, 3);
    EXPECT_EQ(reply->programCount, 200);
    EXPECT_EQ(reply->firmwareVersionByte, 19);
}

TEST(SimulatedUnit, SplitsAResponseIntoTheConfiguredNumberOfMessages) {
    struct Row {
        int parts;
        std::size_t bytesEach;
    };
    for (const Row row : {Row{1, 305}, Row{2, 159}, Row{4, 86}, Row{8, 49}}) {
        VirtualClock clock;
        SimulatedUnitSettings settings;
        settings.responseParts = row.parts;
        SimulatedUnit unit(clock, settings);
        unit.receive(programRequest(0, 1));
        clock.advanceBy(1000);
        const auto arrived = unit.takeArrived();
        ASSERT_EQ(arrived.size(), static_cast<std::size_t>(row.parts));
        for (const auto& m : arrived) {
            EXPECT_TRUE(isProgramResponse(m));
            EXPECT_EQ(m.size(), row.bytesEach) << row.parts << " parts";
        }
    }
}

TEST(SimulatedUnit, StoresUpdatesAndOnlyListensToItsOwnDeviceByte) {
    VirtualClock clock;
    SimulatedUnit unit(clock);
    const Bytes image(kImageBytes, 0x5A);
    for (const auto& m : programUpdateMessages(0, 4, image)) {
        unit.receive(m);
        clock.advanceBy(600);
    }
    for (const auto& m : programUpdateMessages(1, 5, image)) {  // another unit's
        unit.receive(m);
    }
    unit.receive(vrxReboot(0));
    EXPECT_EQ(unit.program(5), Bytes(kProgramBytes, 0x5A));
    EXPECT_NE(unit.program(6), Bytes(kProgramBytes, 0x5A));
    EXPECT_EQ(unit.rebootCount(), 1);
    EXPECT_EQ(unit.received().size(), 9u);
    unit.receive(programRequest(1, 0));
    EXPECT_FALSE(unit.nextArrivalMs());
}

// A real unit still storing a block drops the next one; restarting, it hears nothing.
TEST(SimulatedUnit, DropsUpdatesThatComeTooSoonAndHearsNothingWhileRestarting) {
    struct Row {
        std::int64_t updateGapMs;
        bool strict;
        std::size_t dropped;
    };
    for (const Row row : {Row{550, true, 0}, Row{549, true, 3}, Row{100, false, 0}}) {
        VirtualClock clock;
        SimulatedUnit unit(clock);
        unit.settings().behaviour.strictPacing = row.strict;
        const Bytes image(kImageBytes, 0x33);
        for (const auto& m : programUpdateMessages(0, 0, image)) {
            unit.receive(m);
            clock.advanceBy(row.updateGapMs);
        }
        EXPECT_EQ(unit.droppedUpdates().size(), row.dropped) << row.updateGapMs;
        EXPECT_EQ(unit.program(1) == Bytes(kProgramBytes, 0x33), row.dropped == 0)
            << row.updateGapMs;
    }
    for (const bool deaf : {true, false}) {
        VirtualClock clock;
        SimulatedUnit unit(clock);
        unit.settings().behaviour.deafAfterReboot = deaf;
        unit.receive(vrxReboot(0));  // arrives after 2.88 ms: deaf until 1002.88 ms
        clock.advanceTo(1000);
        unit.receive(identityRequest());  // arrives at 1001.92 ms
        clock.advanceTo(1001);
        unit.receive(identityRequest());  // arrives at 1003.84 ms: heard
        clock.advanceBy(100);
        EXPECT_EQ(unit.takeArrived().size(), deaf ? 1u : 2u);
        EXPECT_EQ(unit.unheardCount(), deaf ? 1 : 0);
    }
}

TEST(SimulatedUnit, AnswersQueueUpOnTheCableBack) {
    VirtualClock clock;
    SimulatedUnit unit(clock);
    unit.receive(programRequest(0, 0));
    unit.receive(programRequest(0, 1));
    // The first answer is back after 14 + 305 bytes, 102.08 ms; the second, ready long
    // before, waits for the cable and follows 97.6 ms later.
    clock.advanceTo(103);
    EXPECT_EQ(unit.takeArrived().size(), 1u);
    EXPECT_EQ(unit.nextArrivalMs(), 200);
    EXPECT_EQ(SimulatedUnit::wireTimeUs(305), 97600);
}

TEST(SimulatedUnit, EchoesEverythingOnAMidiLoop) {
    VirtualClock clock;
    SimulatedUnit unit(clock);
    unit.faults().echo = true;
    unit.faults().silent = true;
    unit.receive(tagMessage());
    clock.advanceBy(100);
    EXPECT_EQ(unit.takeArrived(), std::vector<Bytes>{tagMessage()});
}

TEST(SimulatedUnit, IgnoresTheFirstRequestsWhenToldTo) {
    VirtualClock clock;
    SimulatedUnit unit(clock);
    unit.faults().ignoredRequests = 2;
    for (int i = 0; i < 3; ++i) {
        unit.receive(identityRequest());
    }
    clock.advanceBy(100);
    EXPECT_EQ(unit.takeArrived().size(), 1u);
    EXPECT_EQ(unit.requestCount(), 3);
}

TEST(SimulatedUnit, TruncatedResponseIsCutShortButStaysFramed) {
    VirtualClock clock;
    SimulatedUnit unit(clock);
    unit.faults().truncateTo = 10;
    unit.receive(programRequest(0, 0));
    clock.advanceBy(1000);
    const auto arrived = unit.takeArrived();
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived.front().size(), 10u);
    EXPECT_EQ(arrived.front().back(), kSysexEnd);
    unit.receive(programRequest(0, 0));
    clock.advanceBy(1000);
    EXPECT_EQ(unit.takeArrived().front().size(), 305u);
}

TEST(SimulatedUnit, StartsWithVariedPlausibleProgramsThatDecode) {
    VirtualClock clock;
    SimulatedUnit unit(clock);
    std::set<Bytes> distinct;
    for (int p = 1; p <= 16; ++p) {
        const auto data = unit.program(p);
        EXPECT_NE(data, Bytes(kProgramBytes, 0xFF));
        const auto decoded = decodeProgramData(data);
        ASSERT_TRUE(decoded) << "program " << p;
        int assigned = 0;
        for (const auto& pin : decoded->pins) {
            assigned += pin.pinFunction != kUnassigned ? 1 : 0;
        }
        EXPECT_GE(assigned, 60) << "program " << p;
        distinct.insert(data);
    }
    EXPECT_EQ(distinct.size(), 16u);
}

}  // namespace
}  // namespace vrx
