#include "ports/simulated_unit.h"

#include <gtest/gtest.h>

#include "protocol/messages.h"

namespace vrx {
namespace {

// At 31 250 baud a byte takes 320 µs on the cable, each way.
TEST(SimulatedUnit, AnswersAfterTheWireTimeAndQueuesItsAnswersOnTheCableBack) {
    VirtualClock clock;
    SimulatedUnitSettings settings;
    settings.dipSwitchProgram = 3;
    settings.programCount = 200;
    settings.formatByte = 19;
    SimulatedUnit unit(clock, settings);
    unit.receive(identityRequest());
    EXPECT_EQ(unit.nextArrivalMs(), 9);  // 6 bytes out and 22 back: 8.96 ms
    clock.advanceTo(8);
    EXPECT_TRUE(unit.takeArrived().empty());
    clock.advanceTo(9);
    const auto arrived = unit.takeArrived();
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived.front(),
              (Bytes{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x21, 0x5E, 0x01, 0x00, 0x01,
                     0x05, 0x09, 0x0C, 0x1F, 0x00, 0x02, 0x00, 0x48, 0x01, 0x13, 0xF7}));

    // The first answer is back after 14 + 305 bytes, 102.08 ms; the second, ready long
    // before, waits for the cable and follows 97.6 ms later.
    unit.receive(programRequest(0, 0));
    unit.receive(programRequest(0, 1));
    clock.advanceTo(9 + 103);
    EXPECT_EQ(unit.takeArrived().size(), 1u);
    EXPECT_EQ(unit.nextArrivalMs(), 9 + 200);
}

// What arrives back for two program requests: each answer whole or in parts, or as a
// fault a test or the user can set makes it.
TEST(SimulatedUnit, AnswersComeWholeInPartsOrAsTheFaultsMakeThem) {
    struct Row {
        const char* name;
        void (*fault)(SimulatedUnit&);
        std::vector<std::size_t> sizes;
    };
    const Row rows[] = {
        {"whole", [](SimulatedUnit&) {}, {305, 305}},
        {"in 2 parts",
         [](SimulatedUnit& u) { u.settings().responseParts = 2; },
         {159, 159, 159, 159}},
        {"in 8 parts", [](SimulatedUnit& u) { u.settings().responseParts = 8; },
         std::vector<std::size_t>(16, 49)},
        {"ignore two", [](SimulatedUnit& u) { u.faults().ignoredRequests = 2; }, {}},
        {"echo while silent",
         [](SimulatedUnit& u) {
             u.faults().echo = true;
             u.faults().silent = true;
         },
         {14, 14}},
        {"truncated", [](SimulatedUnit& u) { u.faults().truncateTo = 10; }, {10, 305}},
    };
    for (const auto& row : rows) {
        VirtualClock clock;
        SimulatedUnit unit(clock);
        row.fault(unit);
        unit.receive(programRequest(0, 0));
        unit.receive(programRequest(0, 1));
        clock.advanceBy(1000);
        std::vector<std::size_t> sizes;
        for (const auto& m : unit.takeArrived()) {
            sizes.push_back(m.size());
            EXPECT_EQ(m.back(), kSysexEnd) << row.name;
        }
        EXPECT_EQ(sizes, row.sizes) << row.name;
        EXPECT_EQ(unit.requestCount(), 2) << row.name;
    }
}

}  // namespace
}  // namespace vrx
