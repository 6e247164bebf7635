// What the user sees when the unit, the cable or the user get in the way of a load or
// a write: every row runs in virtual time against the simulated unit, ends within its
// time, shows an exact status text, and leaves the editor and the unit either whole or
// with the failure said.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "link/link_bench.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::LinkBench;

constexpr const char* kLoaded =
    "Requesting VRX Program Data.. ok\r\nLoading Program Data from VRX...\r\nDone.";
constexpr const char* kLoadedAfterARetry =
    "Requesting VRX Program Data.. ok.\r\nLoading Program Data from VRX...\r\nDone.";
// A write reads the program back once the unit has restarted.
constexpr const char* kWritten =
    "Requesting VRX Configuration first... ok\r\nWriting Program Data to VRX... \r\nDone."
    "\r\nVerifying... ok";

enum class Operation { Load, Write };

struct Row {
    const char* name;
    Operation operation;
    std::function<void(LinkBench&)> arrange;
    // Runs before every tick: the user or the cable doing something meanwhile.
    std::function<void(LinkBench&)> meanwhile;
    std::string status;
    bool completes;  // the program arrived in the editor, or in the unit
    int maxTicks;
    // That the fault really happened.
    std::function<bool(const LinkBench&)> faultHappened = nullptr;
};

TEST(FaultMatrix, EveryFaultEndsInTimeWithWhatTheUserSees) {
    constexpr int kProgram = 6;
    std::vector<Row> table = {
        {"answer after 3 requests", Operation::Load,
         [](LinkBench& b) { b.unit.faults().ignoredRequests = 3; }, nullptr, kLoaded, true, 100},
        {"deaf after reboot, then a second load", Operation::Load,
         [](LinkBench& b) {
             b.view.promptAnswers = {2};
             b.link.loadFromDevice();
             b.tickUntil([&] { return b.unit.rebootCount() == 1; });
         },
         nullptr, kLoaded, true, 100, [](const LinkBench& b) { return b.unit.unheardCount() > 0; }},
        {"a lost response", Operation::Load,
         [](LinkBench& b) { b.unit.settings().behaviour.lostAnswer = 2; }, nullptr,
         kLoadedAfterARetry, true, 100},
        {"a damaged response byte", Operation::Load,
         [](LinkBench& b) { b.unit.settings().behaviour.damagedAnswer = 2; }, nullptr,
         kLoadedAfterARetry, true, 100},
        {"line noise", Operation::Load,
         [](LinkBench& b) {
             b.unit.settings().behaviour.lineNoise = true;
             b.unit.settings().responseParts = 4;
         },
         nullptr, kLoaded, true, 60,
         [](const LinkBench& b) { return b.unit.noiseBytesSent() > 0; }},
        {"an echo loop", Operation::Write, [](LinkBench& b) { b.unit.faults().echo = true; },
         nullptr, kWritten, true, 80},
        {"output gone after 2 messages of a write", Operation::Write,
         [](LinkBench& b) { b.unit.settings().behaviour.outputFailsAfter = 4; }, nullptr,
         "Requesting VRX Configuration first... ok\r\nWriting Program Data to VRX... \r\n"
         "Sending failed: 2 of 5 messages went out. The program in the VRX may be incomplete: "
         "write it again.",
         false, 80},
        {"exit asked during a write", Operation::Write, nullptr,
         [](LinkBench& b) {
             // The user confirms the exit as the second update goes out; the program
             // closes its ports once the write has ended and been read back.
             if (b.clock.nowMs() == 2000) {
                 b.link.requestExitAfterWrite();
             }
             if (b.link.readyToExit()) {
                 EXPECT_EQ(b.unit.rebootCount(), 2);
                 b.link.closePorts();
             }
         },
         "Requesting VRX Configuration first... ok\r\nWriting Program Data to VRX... \r\n"
         "\r\nVRXConfig closes when the write is done.\r\nDone.\r\nVerifying... ok",
         true, 80, [](const LinkBench& b) { return b.link.readyToExit(); }},
        {"exit asked during a write whose output fails", Operation::Write,
         [](LinkBench& b) { b.unit.settings().behaviour.outputFailsAfter = 5; },
         [](LinkBench& b) {
             if (b.clock.nowMs() == 2000) {
                 b.link.requestExitAfterWrite();
             }
             EXPECT_FALSE(b.link.readyToExit()) << "closing would hide the failure";
         },
         "Requesting VRX Configuration first... ok\r\nWriting Program Data to VRX... \r\n"
         "\r\nVRXConfig closes when the write is done.\r\nSending failed: 3 of 5 messages went "
         "out. The program in the VRX may be incomplete: write it again.\r\nVRXConfig stays "
         "open: write the program again before you exit.",
         false, 80, [](const LinkBench& b) { return !b.link.exitRequested(); }},
    };
    // Without a read-back to find it, the stopped write alone keeps the program open.
    Row unverified = table.back();
    unverified.name = "exit asked during an unverified write whose output fails";
    unverified.arrange = [](LinkBench& b) {
        b.link.setVerifyAfterWriting(false);
        b.unit.settings().behaviour.outputFailsAfter = 5;
    };
    table.push_back(unverified);
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        LinkBench bench;
        const Bytes image = testing::plausibleImage(11);
        bench.view.imageToWrite = image;
        const Bytes before = bench.unit.program(kProgram);
        if (row.arrange) {
            row.arrange(bench);
        }
        bench.view.decoded.clear();
        bench.view.promptAnswers = {kProgram};
        const std::int64_t start = bench.clock.nowMs();
        if (row.operation == Operation::Load) {
            bench.link.loadFromDevice();
        } else {
            bench.link.writeToDevice();
        }
        const bool ended = bench.tickUntil(
            [&] {
                if (row.meanwhile) {
                    row.meanwhile(bench);
                }
                return bench.operationOver() && !bench.link.outputQueue().paused();
            },
            row.maxTicks);
        ASSERT_TRUE(ended) << "still running after " << bench.clock.nowMs() - start
                           << " ms: " << bench.view.statusText;
        if (row.faultHappened) {
            EXPECT_TRUE(row.faultHappened(bench));
        }
        EXPECT_EQ(bench.view.statusText, row.status);
        EXPECT_TRUE(bench.unit.droppedUpdates().empty());
        if (row.operation == Operation::Load) {
            // The editor gets the whole program or nothing.
            if (row.completes) {
                ASSERT_EQ(bench.view.decoded.size(), 1u);
                EXPECT_EQ(bench.view.decoded.front(), bench.unit.program(kProgram));
            } else {
                EXPECT_TRUE(bench.view.decoded.empty());
            }
        } else {
            const Bytes written(image.begin(), image.begin() + kProgramBytes);
            // The unit holds the whole new program, or the failure was said.
            EXPECT_EQ(bench.unit.program(kProgram) == written, row.completes);
            // The write's reboot, and the one after its read-back.
            EXPECT_EQ(bench.unit.rebootCount(), row.completes ? 2 : 0);
            EXPECT_EQ(bench.link.failure().has_value(), !row.completes);
            if (!row.completes) {
                EXPECT_NE(bench.unit.program(kProgram), before);  // half new
            }
        }
    }
}

}  // namespace
}  // namespace vrx
