#include "link/connection_check.h"

#include <gtest/gtest.h>

#include "ports/simulated_fault_names.h"
#include "ports/simulated_ports.h"

namespace vrx {
namespace {

// The check against the simulated unit in virtual time, with the unit's faults as
// vrxtool names them.
ConnectionCheckResult checkWith(const std::vector<std::string>& faults, int rounds) {
    VirtualClock clock;
    SimulatedUnit unit(clock);
    for (const auto& fault : faults) {
        EXPECT_EQ(applySimulatorFault(unit, fault), "") << fault;
    }
    SimulatedInput input(unit);
    SimulatedOutput output(unit);
    EXPECT_TRUE(output.open());
    EXPECT_TRUE(input.open());
    input.start();
    ConnectionCheck check(rounds, clock, [&](ByteView m) { return output.sendSysex(m); });
    input.setMessageHandler([&] {
        for (; input.queuedMessageCount() > 0; input.removeCurrentMessage()) {
            check.onMessage(input.currentMessage().sysex);
        }
    });
    check.start();
    for (int step = 0; step < 10'000 && !check.finished(); ++step) {
        clock.advanceBy(10);
        input.dispatchEvents();
        check.tick();
    }
    EXPECT_TRUE(check.finished());
    return check.result();
}

TEST(ConnectionCheck, CountsWhatEachFaultOfTheLineDoesAndSaysWhatToDo) {
    struct Case {
        std::vector<std::string> faults;
        // identity answered, lost, damaged, duplicated; reads answered, lost, damaged
        std::array<int, 7> counts;
        bool echoes;
        std::string advice;  // the verdict's last line starts so
    };
    const Case cases[] = {
        {{}, {5, 0, 0, 0, 5, 0, 0}, false, "The connection is good"},
        {{"line-noise"}, {5, 0, 0, 0, 5, 0, 0}, false, "The connection is good"},
        {{"silent"}, {0, 0, 0, 0, 0, 0, 0}, false, "The VRX did not answer through #2 / #3."},
        {{"echo"}, {5, 0, 0, 0, 5, 0, 0}, true, "10 of 10 requests came back"},
        // The unit's messages: the reply that finds it, five identity replies, then five
        // responses.
        {{"lose-answer=7"}, {5, 0, 0, 0, 4, 1, 0}, false, "1 of 5 long messages were lost"},
        {{"damage-answer=8"},
         {5, 0, 0, 0, 4, 0, 1},
         false,
         "1 of 5 long messages arrived damaged: this MIDI interface is unreliable with SysEx; "
         "try another."},
        {{"damage-answer=2"}, {4, 0, 1, 0, 5, 0, 0}, false, "1 of 5 short answers were lost"},
        // Too late for its round, in time for the next one.
        {{"late-answer=2:1500"},
         {4, 1, 0, 1, 5, 0, 0},
         false,
         "1 of 10 requests were answered more than once"},
        {{"output-fails-after=3"}, {1, 0, 0, 0, 0, 0, 0}, false, "The MIDI output failed"},
        // Restarting when the check begins: it is found once it hears again.
        {{"ignore-requests=2"}, {5, 0, 0, 0, 5, 0, 0}, false, "The connection is good"},
    };
    for (const auto& c : cases) {
        const auto result = checkWith(c.faults, 5);
        const auto& id = result.identity;
        const auto& reads = result.reads;
        const std::array<int, 7> counts = {id.answered,    id.lost,    id.damaged,   id.duplicated,
                                           reads.answered, reads.lost, reads.damaged};
        const auto name = c.faults.empty() ? std::string("none") : c.faults.front();
        EXPECT_EQ(counts, c.counts) << name;
        EXPECT_EQ(result.echoes > 0, c.echoes) << name;
        const auto verdict = connectionVerdict(result, "#2 / #3");
        EXPECT_TRUE(verdict.back().starts_with(c.advice)) << name << ": " << verdict.back();
        EXPECT_EQ(connectionGood(result), c.advice.starts_with("The connection is good")) << name;
        // Every round of a kind is accounted for once.
        EXPECT_EQ(id.answered + id.lost + id.damaged, id.asked) << name;
        EXPECT_EQ(reads.answered + reads.lost + reads.damaged, reads.asked) << name;
        EXPECT_EQ(reads.roundTripMs.size(), static_cast<std::size_t>(reads.answered)) << name;
    }
    // The whole verdict of a good line, as the user reads it.
    const auto good = connectionVerdict(checkWith({}, 3), "MIDI In #2 and MIDI Out #3");
    ASSERT_EQ(good.size(), 4u);
    EXPECT_TRUE(good[0].starts_with(
        "Identity exchanges (short messages): 3 asked, 3 answered, 0 lost, 0 damaged, 0 "
        "duplicated; round trip "));
    EXPECT_TRUE(good[1].starts_with("Reads of program 1 (long messages): 3 asked, 3 answered"));
    EXPECT_EQ(good[2],
              "Answered by a VRX with firmware 1.5, 12/31/2009, DIP switches on program 1, 16 "
              "programs, through MIDI In #2 and MIDI Out #3.");
}

}  // namespace
}  // namespace vrx
