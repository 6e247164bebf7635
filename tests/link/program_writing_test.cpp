// Writing programs and proving them: the verified write and the restore, against the
// simulated unit in virtual time.
#include <gtest/gtest.h>

#include <optional>

#include "link/device_link.h"
#include "link/link_bench.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::LinkBench;

Bytes programBytes(int seed) {
    auto data = plausibleProgramData(seed, kFormatByteDefault);
    data.resize(kProgramBytes);
    return data;
}

bool writeOver(LinkBench& bench) {
    return bench.link.commState() == kStateResultShown && !bench.link.writeInProgress() &&
           bench.link.outputQueue().midiOutQueue().empty();
}

// Everything the unit received, by command, from the first reboot on.
std::vector<std::string> namesAfterFirstReboot(const LinkBench& bench) {
    std::vector<std::string> names;
    bool seenReboot = false;
    for (const auto& m : bench.unit.received()) {
        std::string name = m == tagMessage()               ? "tag"
                           : m == identityRequest()        ? "identity"
                           : m.size() > 8 && m[7] == 0x03  ? "request"
                           : m.size() > 8 && m[7] == 0x08  ? "update"
                           : m.size() == 9 && m[7] == 0x20 ? "reboot"
                                                           : "other";
        if (seenReboot) {
            names.push_back(name);
        }
        seenReboot = seenReboot || name == "reboot";
    }
    return names;
}

TEST(VerifiedWrite, ReadsTheProgramBackAfterTheRebootAndSaysItIsOk) {
    LinkBench bench;
    bench.view.promptAnswers = {3};
    bench.view.imageToWrite = programBytes(9);
    bench.link.writeToDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return writeOver(bench); }));

    EXPECT_EQ(bench.unit.program(3), programBytes(9));
    EXPECT_EQ(namesAfterFirstReboot(bench),
              (std::vector<std::string>{"tag", "identity", "request", "reboot"}));
    EXPECT_EQ(bench.receivedWithCommand(messageConstants().cmdProgramRequest).front(),
              programRequest(0, 2));
    EXPECT_TRUE(bench.view.statusText.ends_with(
        "Writing Program Data to VRX... \r\nDone.\r\nVerifying... ok"))
        << bench.view.statusText;
    ASSERT_EQ(bench.link.restore().results().size(), 1u);
    EXPECT_EQ(bench.link.restore().results()[0].outcome, WriteOutcome::kVerified);
    EXPECT_TRUE(bench.view.decoded.empty());  // the editor keeps what the user wrote
}

TEST(VerifiedWrite, AProgramTheUnitDidNotKeepIsReportedInTheEditorsWords) {
    LinkBench bench;
    bench.view.promptAnswers = {4};
    const Bytes sent = programBytes(2);
    bench.view.imageToWrite = sent;
    bench.link.writeToDevice();
    // The unit loses what it was sent into pin row 1 and the tuning before it is read.
    ASSERT_TRUE(bench.tickUntil([&] { return bench.unit.rebootCount() == 1; }));
    Bytes kept = sent;
    kept[46] ^= 0x01;
    kept[37] ^= 0x08;
    bench.unit.setProgram(4, kept);
    ASSERT_TRUE(bench.tickUntil([&] { return writeOver(bench); }));

    EXPECT_TRUE(bench.view.statusText.ends_with(
        "Verifying...\r\nThe unit holds something else in pin row 1 and tuning.\r\n"
        "Please write the program again."))
        << bench.view.statusText;
    const auto& result = bench.link.restore().results().at(0);
    EXPECT_EQ(result.outcome, WriteOutcome::kDiffers);
    // The result stays on screen until the user closes it; the editor is usable.
    bench.ticks(40);
    EXPECT_TRUE(bench.view.statusShown);
    EXPECT_EQ(bench.view.commandsEnabled, 1);
    const std::string line =
        "Program 4: failed: the unit holds something else in pin row 1 and tuning; "
        "write it again";
    EXPECT_EQ(resultLine(result), line);
    EXPECT_EQ(bench.view.logLines, std::vector<std::string>{line});
}

TEST(Restore, WritesEachProgramAndReportsEachOne) {
    struct Case {
        bool verify;
        std::vector<WriteOutcome> outcomes;
        int requests;
    };
    for (const auto& c :
         {Case{true,
               {WriteOutcome::kVerified, WriteOutcome::kVerified, WriteOutcome::kNotStored},
               2},
          Case{false,
               {WriteOutcome::kWritten, WriteOutcome::kWritten, WriteOutcome::kNotStored},
               0}}) {
        LinkBench bench;
        bench.link.setVerifyAfterWriting(c.verify);
        bench.link.restorePrograms(
            {{2, programBytes(30)}, {5, programBytes(31)}, {17, programBytes(32)}});
        ASSERT_TRUE(bench.tickUntil([&] { return writeOver(bench); }));

        EXPECT_EQ(bench.unit.program(2), programBytes(30));
        EXPECT_EQ(bench.unit.program(5), programBytes(31));
        std::vector<WriteOutcome> outcomes;
        for (const auto& r : bench.link.restore().results()) {
            outcomes.push_back(r.outcome);
        }
        EXPECT_EQ(outcomes, c.outcomes) << c.verify;
        EXPECT_FALSE(bench.link.restore().allSucceeded());
        EXPECT_EQ(bench.receivedWithCommand(messageConstants().cmdProgramRequest).size(),
                  static_cast<std::size_t>(c.requests));
        // One identity exchange to start, then one after each program's reboot.
        EXPECT_EQ(bench.unit.rebootCount(), c.verify ? 3 : 2);
        EXPECT_TRUE(bench.view.statusText.ends_with(
            std::string("\r\nProgram 2: ") +
            (c.verify ? "written and verified" : "written (not verified)") +
            "\r\nProgram 5: " + (c.verify ? "written and verified" : "written (not verified)") +
            "\r\nProgram 17: failed: the unit has 16 programs"))
            << bench.view.statusText;
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
        // Every pin of the new programs differs from what the unit holds.
        Bytes third = programBytes(3);
        Bytes fourth = programBytes(4);
        for (std::size_t i = 46; i < kProgramBytes; ++i) {
            third[i] = static_cast<std::uint8_t>(third[i] ^ 0x01);
            fourth[i] = static_cast<std::uint8_t>(fourth[i] ^ 0x01);
        }
        bench.link.restorePrograms({{3, third}, {4, fourth}});
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
        std::vector<std::string> lines;
        for (const auto& result : bench.link.restore().results()) {
            lines.push_back(resultLine(result));
        }
        EXPECT_EQ(lines, c.lines) << c.name;
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
        const auto& results = bench.link.restore().results();
        EXPECT_EQ(resultLine(results[0]), "Program 5: written and verified");
        EXPECT_EQ(resultLine(results[1]), "Program 6: not written (cancelled)");
    }
}

TEST(Backup, CancelStopsOnceTheProgramBeingReadHasArrived) {
    LinkBench bench;
    bench.link.backupFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.programsRead.size() == 3; }));
    bench.link.cancelBackup();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));
    // The fourth request was already out: its answer is kept, nothing more is asked.
    EXPECT_EQ(bench.view.programsRead.size(), 4u);
    EXPECT_EQ(bench.receivedWithCommand(messageConstants().cmdProgramRequest).size(), 4u);
}

}  // namespace
}  // namespace vrx
