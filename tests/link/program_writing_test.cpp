// Writing programs and proving them: the verified write and the restore, against the
// simulated unit in virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "link/device_link.h"
#include "link/link_bench.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::LinkBench;

// A program for the unit; with `pinsFlipped` every pin differs from what it holds.
Bytes programBytes(int seed, bool pinsFlipped = false) {
    auto data = plausibleProgramData(seed, kFormatByteDefault);
    data.resize(kProgramBytes);
    for (std::size_t i = 46; pinsFlipped && i < kProgramBytes; ++i) {
        data[i] ^= 0x01;
    }
    return data;
}

bool writeOver(LinkBench& bench) {
    return bench.link.commState() == kStateResultShown && !bench.link.writeInProgress() &&
           bench.link.outputQueue().midiOutQueue().empty();
}

std::vector<std::string> resultLines(const LinkBench& bench) {
    std::vector<std::string> lines;
    for (const auto& result : bench.link.restore().results()) {
        lines.push_back(resultLine(result));
    }
    return lines;
}

// The unit restarts after the write's reboot; a second later the link asks for the
// program back and tells the user, in the editor's words, what the unit did not keep.
TEST(VerifiedWrite, ReadsTheProgramBackOnceTheUnitHasRestarted) {
    for (const bool spoilt : {false, true}) {
        LinkBench bench;
        bench.view.promptAnswers = {4};
        const Bytes sent = programBytes(2);
        bench.view.imageToWrite = sent;
        bench.link.writeToDevice();
        ASSERT_TRUE(bench.tickUntil([&] { return bench.unit.rebootCount() == 1; }));
        bench.journal.clear();
        Bytes kept = sent;
        if (spoilt) {  // pin row 1 and the tuning
            kept[46] ^= 0x01;
            kept[37] ^= 0x08;
        }
        bench.unit.setProgram(4, kept);
        ASSERT_TRUE(bench.tickUntil([&] { return writeOver(bench); }));
        // The unit is deaf for a second after the write's reboot at 3800.
        for (const auto* line :
             {"4800 unit got TAG MESSAGE", "5000 unit got PROGRAM_REQUEST for program 4"}) {
            EXPECT_NE(std::ranges::find(bench.journal, line), bench.journal.end()) << line;
        }
        const std::string line =
            spoilt ? "Program 4: failed: the unit holds something else in pin row 1 and tuning; "
                     "write it again"
                   : "Program 4: written and verified";
        EXPECT_EQ(resultLines(bench), std::vector<std::string>{line});
        EXPECT_EQ(bench.view.logLines, std::vector<std::string>{line});
        EXPECT_TRUE(bench.view.statusText.ends_with(
            spoilt ? "Verifying...\r\nThe unit holds something else in pin row 1 and tuning.\r\n"
                     "Please write the program again."
                   : "Writing Program Data to VRX... \r\nDone.\r\nVerifying... ok"))
            << bench.view.statusText;
        // A program the unit did not keep stays on screen until the user closes it.
        bench.ticks(40);
        EXPECT_EQ(bench.view.statusShown, spoilt);
        EXPECT_EQ(bench.view.commandsEnabled, 1);
        EXPECT_TRUE(bench.view.decoded.empty());  // the editor keeps what the user wrote
    }
}

TEST(Restore, WritesEachProgramAndReportsEachOne) {
    for (const bool verify : {true, false}) {
        LinkBench bench;
        bench.link.setVerifyAfterWriting(verify);
        bench.link.restorePrograms(
            {{2, programBytes(30)}, {5, programBytes(31)}, {17, programBytes(32)}});
        ASSERT_TRUE(bench.tickUntil([&] { return writeOver(bench); }));
        EXPECT_EQ(bench.unit.program(2), programBytes(30));
        EXPECT_EQ(bench.unit.program(5), programBytes(31));
        const std::string ok = verify ? "written and verified" : "written (not verified)";
        EXPECT_EQ(resultLines(bench),
                  (std::vector<std::string>{"Program 2: " + ok, "Program 5: " + ok,
                                            "Program 17: failed: the unit has 16 programs"}));
        EXPECT_TRUE(bench.view.statusText.ends_with("\r\nProgram 2: " + ok +
                                                    "\r\nProgram 5: " + ok +
                                                    "\r\nProgram 17: failed: the unit has 16 "
                                                    "programs"))
            << bench.view.statusText;
        EXPECT_EQ(bench.receivedWithCommand(messageConstants().cmdProgramRequest).size(),
                  verify ? 2u : 0u);
        // Each program's reboot, and one after the last read-back.
        EXPECT_EQ(bench.unit.rebootCount(), verify ? 3 : 2);
    }
}

// What the strict unit does wrong is caught: a block it dropped for coming too soon
// shows in the read-back, a failed output stops the restore. Neither is called success.
TEST(Restore, WhatTheUnitDidNotGetIsNeverReportedAsWritten) {
    struct Case {
        const char* name;
        bool strayUpdate;  // another update reaches the unit just before block 3
        std::optional<int> outputFailsAfter;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"block dropped",
         true,
         {},
         {"Program 3: failed: the unit holds something else in pin rows 42-73; write it again",
          "Program 4: written and verified"}},
        // tag, identity, then the first three updates of program 3 reach the unit.
        {"output gone",
         false,
         5,
         {"Program 3: failed: Sending failed: 3 of 5 messages went out. The program in the VRX "
          "may be incomplete: write it again.",
          "Program 4: not written (the restore stopped)"}},
        // The whole of program 3 and its reboot went out; the read-back's TAG MESSAGE fails.
        {"output gone before the read-back",
         false,
         8,
         {"Program 3: failed: Sending failed: program 3 was written but could not be read back "
          "to verify it.",
          "Program 4: not written (the restore stopped)"}},
    };
    for (const auto& c : cases) {
        SimulatedUnitSettings settings;
        settings.behaviour.outputFailsAfter = c.outputFailsAfter;
        LinkBench bench(settings);
        bench.link.restorePrograms({{3, programBytes(3, true)}, {4, programBytes(4, true)}});
        if (c.strayUpdate) {
            ASSERT_TRUE(bench.tickUntil([&] {
                return bench.receivedWithCommand(messageConstants().cmdProgramUpdate).size() == 2;
            }));
            bench.ticks(3);
            bench.unit.receive(programUpdateMessages(0, 15, programBytes(16))[0]);
        }
        ASSERT_TRUE(bench.tickUntil([&] {
            return bench.link.commState() == kStateResultShown && !bench.link.writeInProgress();
        })) << c.name;
        EXPECT_EQ(resultLines(bench), c.lines) << c.name;
    }
}

// Cancel, or an exit asked, while the first program's second update is on its way.
TEST(Restore, CancelOrExitStopsBetweenProgramsNeverInsideOne) {
    for (const bool exit : {false, true}) {
        SCOPED_TRACE(exit ? "exit" : "cancel");
        LinkBench bench;
        const Bytes before = bench.unit.program(6);
        bench.link.restorePrograms({{5, programBytes(40)}, {6, programBytes(41)}});
        ASSERT_TRUE(bench.tickUntil([&] {
            return bench.receivedWithCommand(messageConstants().cmdProgramUpdate).size() == 2;
        }));
        if (exit) {
            bench.link.requestExitAfterWrite();
            ASSERT_TRUE(bench.tickUntil([&] { return bench.link.readyToExit(); }));
        } else {
            bench.link.cancelRestore();
            ASSERT_TRUE(bench.tickUntil([&] { return writeOver(bench); }));
        }
        EXPECT_EQ(bench.unit.program(5), programBytes(40));
        EXPECT_EQ(bench.unit.program(6), before);
        EXPECT_EQ(bench.receivedWithCommand(messageConstants().cmdProgramUpdate).size(), 4u);
        EXPECT_EQ(resultLines(bench),
                  (std::vector<std::string>{"Program 5: written and verified",
                                            "Program 6: not written (cancelled)"}));
    }
}

}  // namespace
}  // namespace vrx
