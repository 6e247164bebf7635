// What a slow, absent or crowded unit does to the link, and the user in the middle of it:
// each row runs in virtual time against the simulated unit and checks what the user and
// the unit are left with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/link_bench.h"
#include "link/link_texts.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::LinkBench;

// A backup files every program under its own number, whichever of the unit's messages
// comes late and by however much, and whatever another unit on the cable sends: an
// answer that can be owed to an earlier request is never taken for the next program.
TEST(UnitFaults, BackupFilesEachProgramUnderItsNumberWhateverComesLate) {
    using enum SimulatedUnitSettings::ResponseAddress;
    struct Row {
        int lateAnswer;  // the unit's message: 1 the identity reply, 2 program 1's answer, ...
        std::int64_t delayMs;
        bool strays;
        // What the answers carry after the command: the address asked for, or not.
        SimulatedUnitSettings::ResponseAddress address;
    };
    std::vector<Row> rows;
    for (const std::int64_t delayMs : {0, 500, 1900, 2300, 3000, 5000}) {
        for (int late = 1; late <= 17; late += (delayMs == 2300 ? 1 : 4)) {
            rows.push_back({late, delayMs, false, kAddress});
            rows.push_back({late, delayMs, false, late % 2 == 0 ? kZeros : kOwnBytes});
        }
    }
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        rows.push_back({static_cast<int>(seed) + 2, 2300, true, kAddress});
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.lateAnswer) + " late by " + std::to_string(row.delayMs) +
                     (row.strays ? " with strays" : "") +
                     (row.address == kAddress ? "" : " without addresses"));
        LinkBench bench;
        auto& behaviour = bench.unit.settings().behaviour;
        behaviour.lateAnswer = SimulatedBehaviour::LateAnswer{row.lateAnswer, row.delayMs};
        behaviour.strayReplies = row.strays;
        behaviour.straySeed = static_cast<std::uint32_t>(row.lateAnswer);
        bench.unit.settings().responseAddress = row.address;
        bench.link.backupFromDevice();
        ASSERT_TRUE(
            bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }, 1000));
        ASSERT_EQ(bench.view.programsRead.size(), 16u) << bench.view.statusText;
        for (const auto& [number, data] : bench.view.programsRead) {
            EXPECT_EQ(data, bench.unit.program(number)) << "program " << number;
        }
        EXPECT_TRUE(bench.view.statusText.ends_with("Done.")) << bench.view.statusText;
    }
}

// A unit that goes quiet after the write's reboot (switched off, the cable pulled): the
// read-back asks as a load does and then says the program could not be verified; an exit
// confirmed meanwhile closes within that time. A failing output ends a load with one
// message.
TEST(UnitFaults, NoExchangeWaitsForASilentUnitWithoutEnd) {
    for (const bool exitAsked : {false, true}) {
        LinkBench bench;
        bench.unit.settings().behaviour.silentAfterReboot = 1;
        bench.view.promptAnswers = {4};
        const Bytes image = testing::plausibleImage(9);
        bench.view.imageToWrite = image;
        bench.link.writeToDevice();
        ASSERT_TRUE(bench.tickUntil([&] { return bench.unit.rebootCount() == 1; }));
        if (exitAsked) {
            bench.link.requestExitAfterWrite();
        }
        // Four identity exchanges a second apart after the unit's restart, then it gives up.
        ASSERT_TRUE(bench.tickUntil(
            [&] {
                return exitAsked ? bench.link.readyToExit()
                                 : bench.link.commState() == kStateResultShown;
            },
            70));
        EXPECT_TRUE(bench.view.statusText.ends_with(link_texts::kReadBackUnanswered))
            << bench.view.statusText;
        EXPECT_EQ(bench.unit.program(4), Bytes(image.begin(), image.begin() + kProgramBytes));
        EXPECT_FALSE(bench.link.unitOperationInProgress());
        EXPECT_FALSE(bench.link.writeInProgress());
    }

    // An output that fails says so once, and the load ends.
    LinkBench failing;
    failing.unit.settings().behaviour.outputFailsAfter = 0;
    failing.link.loadFromDevice();
    failing.ticks(100);
    EXPECT_EQ(failing.view.messages.size(), 1u);
    EXPECT_FALSE(failing.link.unitOperationInProgress());
    EXPECT_TRUE(failing.view.statusText.ends_with(link_texts::kReadSendFailed));
}

// The limit a request can address holds for a restore too: a unit that reports more
// programs than that never gets a write that would wrap round to program 1.
TEST(UnitFaults, RestoreNeverAddressesAProgramARequestCannotReach) {
    LinkBench bench;
    bench.unit.settings().programCount = kMaxAddressableProgram + 10;
    const Bytes first = bench.unit.program(1);
    const Bytes other = testing::plausibleProgram(3);
    bench.link.restorePrograms({{kMaxAddressableProgram + 1, other}, {2, other}});
    ASSERT_TRUE(bench.tickUntil([&] { return !bench.link.writeInProgress(); }));
    const auto& results = bench.link.restore().results();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(resultLine(results[0]),
              "Program 8193: failed: programs above 8192 cannot be addressed");
    EXPECT_EQ(resultLine(results[1]), "Program 2: written and verified");
    EXPECT_EQ(bench.unit.program(1), first);
    EXPECT_EQ(bench.unit.program(2), other);
}

// A write proposes the program the editor holds from the unit, not the one the DIP
// switches select; once a file replaced it, the DIP switches' program again.
TEST(UnitFaults, WritePromptProposesTheProgramLoadedIntoTheEditor) {
    LinkBench bench;
    bench.link.setVerifyAfterWriting(false);
    std::vector<std::string> proposed;
    bench.view.whileModal = [&] { proposed.push_back(bench.link.programPrompt().numberText()); };
    bench.view.promptAnswers = {9, 0, 0};
    const auto over = [&] { return bench.tickUntil([&] { return bench.operationOver(); }); };
    bench.link.loadFromDevice();
    ASSERT_TRUE(over());
    bench.link.writeToDevice();
    ASSERT_TRUE(over());
    bench.link.fileLoadFinished(1, "organ.vrx");
    bench.ticks(25);
    bench.link.writeToDevice();
    ASSERT_TRUE(over());
    EXPECT_EQ(proposed, (std::vector<std::string>{"1", "9", "1"}));
}

// A backup as the first use of the unit in a run waits for the MIDI I/O Setup dialog
// like any operation: meanwhile it counts as begun, not as the result an earlier
// operation left. Cancelled, it never ends "Done."; closing the status window cancels
// it. Closing the status window during a verified write hides its outcome only until
// the write ends.
TEST(UnitFaults, BackupAndWriteEndAsTheUserLeftThem) {
    for (const bool setupCancelled : {false, true}) {
        LinkBench bench({}, false);
        bench.link.fileLoadFinished(1, "organ.vrx");
        bench.ticks(25);
        ASSERT_EQ(bench.link.commState(), kStateResultShown);
        bool begunDuringSetup = false;
        bench.view.whileModal = [&] {
            begunDuringSetup =
                bench.link.commState() != kStateResultShown && bench.link.unitOperationInProgress();
        };
        bench.view.cancelMidiSetup = setupCancelled;
        bench.link.backupFromDevice();
        EXPECT_TRUE(begunDuringSetup);
        ASSERT_TRUE(bench.tickUntil([&] { return !bench.link.unitOperationInProgress(); }));
        EXPECT_EQ(bench.view.programsRead.size(), setupCancelled ? 0u : 16u);
        EXPECT_EQ(bench.link.commState(), kStateResultShown);
    }

    for (const bool byClosing : {false, true}) {
        LinkBench bench;
        bench.link.backupFromDevice();
        ASSERT_TRUE(bench.tickUntil([&] { return bench.view.programsRead.size() == 2; }));
        if (byClosing) {
            bench.link.statusWindowClosed();
        } else {
            bench.link.cancelBackup();
        }
        ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));
        EXPECT_EQ(bench.view.programsRead.size(), 3u);
        EXPECT_TRUE(bench.view.statusText.ends_with("\r\nCancelled.")) << bench.view.statusText;
    }

    // Closed while the program goes out or while it is read back, with the read-back or
    // without it: the write still ends, and its outcome comes back into view.
    const struct {
        bool verify;
        bool duringReadBack;
        const char* outcome;
    } closings[] = {
        {true, true, "Verifying... ok"}, {true, false, "Verifying... ok"}, {false, false, "Done."}};
    for (const auto& closing : closings) {
        SCOPED_TRACE(closing.outcome + std::string(closing.duringReadBack ? " read-back" : ""));
        LinkBench write;
        write.link.setVerifyAfterWriting(closing.verify);
        write.view.promptAnswers = {4};
        write.link.writeToDevice();
        const auto updates = [&] {
            return write.receivedWithCommand(messageConstants().cmdProgramUpdate).size();
        };
        ASSERT_TRUE(write.tickUntil([&] {
            return closing.duringReadBack ? write.unit.rebootCount() == 1 : updates() == 2;
        }));
        write.link.statusWindowClosed();
        EXPECT_FALSE(write.view.statusShown);
        ASSERT_TRUE(write.tickUntil([&] { return write.operationOver(); }));
        EXPECT_TRUE(write.view.statusShown);
        EXPECT_TRUE(write.view.statusText.ends_with(closing.outcome)) << write.view.statusText;
    }
}

}  // namespace
}  // namespace vrx
