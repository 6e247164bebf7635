// Writing programs and proving them: the verified write and the restore, against the
// simulated unit in virtual time, and the words that report them.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "link/device_link.h"
#include "link/link_bench.h"
#include "link/readback_differences.h"
#include "link/time_left.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::LinkBench;

// A program for the unit; with `pinsFlipped` every pin differs from what it holds.
Bytes programBytes(int seed, bool pinsFlipped = false) {
    auto data = testing::plausibleProgram(seed);
    for (std::size_t i = 46; pinsFlipped && i < kProgramBytes; ++i) {
        data[i] ^= 0x01;
    }
    return data;
}

// Each program's result, a line each.
std::string results(const LinkBench& bench) {
    std::string lines;
    for (const auto& result : bench.link.restore().results()) {
        lines += (lines.empty() ? "" : "\r\n") + resultLine(result);
    }
    return lines;
}

// The unit restarts after the write's reboot; a second later the link asks for the
// program back and tells the user, in the editor's words, what the unit did not keep.
TEST(VerifiedWrite, ReadsTheProgramBackOnceTheUnitHasRestarted) {
    // How the unit kept the program: as sent, with a setting changed, or with only the
    // bytes that carry no setting (format byte, byte 2, unused bytes) its own way.
    enum Kept { kAsSent, kSettingChanged, kSettingFreeBytesChanged };
    for (const Kept how : {kAsSent, kSettingChanged, kSettingFreeBytesChanged}) {
        const bool spoilt = how == kSettingChanged;
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
        } else if (how == kSettingFreeBytesChanged) {
            kept[0] ^= 0x01;
            kept[1] ^= 0x40;
            kept[40] ^= 0x02;
        }
        bench.unit.setProgram(4, kept);
        ASSERT_TRUE(bench.tickUntil([&] { return bench.operationOver(); }));
        // The unit is deaf for a second after the write's reboot at 3800.
        for (const auto* line :
             {"4800 unit got TAG MESSAGE", "5000 unit got PROGRAM_REQUEST for program 4"}) {
            EXPECT_NE(std::ranges::find(bench.journal, line), bench.journal.end()) << line;
        }
        const std::string note = " (bytes that carry no setting differ)";
        const std::string line =
            spoilt
                ? "Program 4: failed: the unit holds something else in pin row 1 and tuning; "
                  "write it again"
                : "Program 4: written and verified" + (how == kSettingFreeBytesChanged ? note : "");
        EXPECT_EQ(results(bench), line);
        EXPECT_EQ(bench.view.logLines, std::vector<std::string>{line});
        EXPECT_TRUE(bench.view.statusText.ends_with(
            spoilt ? "Verifying...\r\nThe unit holds something else in pin row 1 and tuning.\r\n"
                     "Please write the program again."
                   : "Writing Program Data to VRX... \r\nDone.\r\nVerifying... ok" +
                         (how == kSettingFreeBytesChanged ? note : "")))
            << bench.view.statusText;
        // A program the unit did not keep stays on screen until the user closes it.
        bench.ticks(40);
        EXPECT_EQ(bench.view.statusShown, spoilt);
        EXPECT_EQ(bench.view.commandsEnabled, 1);
        EXPECT_TRUE(bench.view.decoded.empty());  // the editor keeps what the user wrote
    }
}

// Each program is written and reported. What the strict unit does wrong is caught: a
// block it dropped for coming too soon shows in the read-back, a failed output stops the
// restore; neither is called success. Cancel, or an exit asked, while the first
// program's second update is on its way stops between programs, never inside one.
TEST(Restore, WritesEachProgramAndReportsEachOne) {
    enum Meanwhile { kNothing, kStrayUpdate, kCancel, kCloseStatus, kExit };
    struct Case {
        const char* name;
        bool verify;
        std::optional<int> outputFailsAfter;
        Meanwhile meanwhile;
        std::vector<ProgramToWrite> programs;
        int updates, reboots;  // the messages the unit got
        const char* progress;  // the last program begun
        std::string results;
    };
    const std::vector<ProgramToWrite> three = {
        {2, programBytes(30)}, {5, programBytes(31)}, {17, programBytes(32)}};
    const std::vector<ProgramToWrite> flipped = {{3, programBytes(3, true)},
                                                 {4, programBytes(4, true)}};
    const std::vector<ProgramToWrite> two = {{5, programBytes(40)}, {6, programBytes(41)}};
    const Case cases[] = {
        {"verified", true, std::nullopt, kNothing, three, 8, 3, "Program 5 (2 of 3)",
         "Program 2: written and verified\r\nProgram 5: written and verified\r\n"
         "Program 17: failed: the unit has 16 programs"},
        {"not verified", false, std::nullopt, kNothing, three, 8, 2, "Program 5 (2 of 3)",
         "Program 2: written (not verified)\r\nProgram 5: written (not verified)\r\n"
         "Program 17: failed: the unit has 16 programs"},
        // Another update reaches the unit just before block 3.
        {"block dropped", true, std::nullopt, kStrayUpdate, flipped, 9, 3, "Program 4 (2 of 2)",
         "Program 3: failed: the unit holds something else in pin rows 42-73; write it again"
         "\r\nProgram 4: written and verified"},
        // tag, identity, then the first three updates of program 3 reach the unit.
        {"output gone", true, 5, kNothing, flipped, 3, 0, "Program 3 (1 of 2)",
         "Program 3: failed: Sending failed: 3 of 5 messages went out. The program in the VRX "
         "may be incomplete: write it again.\r\nProgram 4: not written (the restore stopped)"},
        // The whole of program 3 and its reboot went out; the read-back's TAG MESSAGE fails.
        {"output gone before the read-back", true, 8, kNothing, flipped, 4, 1, "Program 3 (1 of 2)",
         "Program 3: failed: Sending failed: program 3 was written but could not be read back "
         "to verify it.\r\nProgram 4: not written (the restore stopped)"},
        {"cancel", true, std::nullopt, kCancel, two, 4, 2, "Program 5 (1 of 2)",
         "Program 5: written and verified\r\nProgram 6: not written (cancelled)"},
        // Closing the status window is Cancel; the results come back into view.
        {"status closed", true, std::nullopt, kCloseStatus, two, 4, 2, "Program 5 (1 of 2)",
         "Program 5: written and verified\r\nProgram 6: not written (cancelled)"},
        {"exit", true, std::nullopt, kExit, two, 4, 2, "Program 5 (1 of 2)",
         "Program 5: written and verified\r\nProgram 6: not written (cancelled)"},
    };
    const auto updates = [](const LinkBench& bench) {
        return bench.receivedWithCommand(messageConstants().cmdProgramUpdate).size();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkBench bench;
        bench.unit.settings().behaviour.outputFailsAfter = c.outputFailsAfter;
        bench.link.setVerifyAfterWriting(c.verify);
        bench.link.restorePrograms(c.programs);
        if (c.meanwhile != kNothing) {
            ASSERT_TRUE(bench.tickUntil([&] { return updates(bench) == 2; }));
        }
        if (c.meanwhile == kStrayUpdate) {
            bench.ticks(3);
            bench.unit.receive(programUpdateMessages(0, 15, programBytes(16))[0]);
        } else if (c.meanwhile == kCancel) {
            bench.link.cancelRestore();
        } else if (c.meanwhile == kCloseStatus) {
            bench.link.statusWindowClosed();
        } else if (c.meanwhile == kExit) {
            bench.link.requestExitAfterWrite();
        }
        ASSERT_TRUE(bench.tickUntil([&] {
            return c.meanwhile == kExit ? bench.link.readyToExit() : bench.operationOver();
        }));
        EXPECT_EQ(results(bench), c.results);
        // The status shows the program being written, then every result, or why the
        // restore stopped.
        const auto stoppedAt = c.results.find("Sending");
        const std::string shown =
            c.outputFailsAfter ? c.results.substr(stoppedAt, c.results.find('\r') - stoppedAt)
                               : "\r\n" + c.results;
        EXPECT_TRUE(bench.view.statusText.starts_with(std::string(c.progress) + "\r\nWriting"));
        EXPECT_TRUE(bench.view.statusText.ends_with(shown)) << bench.view.statusText;
        EXPECT_TRUE(bench.view.statusShown);
        // What is reported written the unit holds; what is reported not written it never got.
        for (const auto& [number, data] : c.programs) {
            const std::string line = "Program " + std::to_string(number) + ": ";
            if (c.results.find(line + "written") != std::string::npos) {
                EXPECT_EQ(bench.unit.program(number), data) << number;
            } else if (c.results.find(line + "not written") != std::string::npos) {
                EXPECT_NE(bench.unit.program(number), data) << number;
            }
        }
        EXPECT_EQ(updates(bench), static_cast<std::size_t>(c.updates));
        EXPECT_EQ(bench.unit.rebootCount(), c.reboots);
    }
}

// Which part of the editor each changed byte of the stored program belongs to: pin row
// r at 44 + 2r and 45 + 2r, channel pairs from byte 2 (the odd channel in the low half),
// key offsets from 10, the crescendo at 26, a bit per channel in each keyboard's two
// mask bytes from 27, the tuning at 37.
TEST(ReadbackDifferences, NameThePartsOfTheEditorThatCameBackChanged) {
    // The bits flipped in each byte, and the parts named.
    using Flips = std::vector<std::pair<std::size_t, std::uint8_t>>;
    const std::pair<Flips, std::vector<std::string>> rows[] = {
        {{{47, 0x01}, {48, 0x10}, {254, 0x01}}, {"pin rows 1, 2, 105"}},
        {{{46, 1}, {48, 1}, {50, 1}, {84, 1}}, {"pin rows 1-3, 20"}},
        {{{3, 0x01}}, {"MIDI channel row 3"}},
        {{{3, 0x10}}, {"MIDI channel row 4"}},
        {{{14, 0x40}}, {"MIDI channel row 5"}},
        {{{28, 0x02}}, {"MIDI channel row 10"}},
        {{{27, 0x81}}, {"MIDI channel rows 1, 8"}},
        {{{26, 0x01}}, {"crescendo"}},
        {{{37, 0x08}}, {"tuning"}},
        {{{36, 0x01}}, {"other bytes"}},
        {{{84, 1}, {10, 1}, {37, 1}}, {"pin row 20", "MIDI channel row 1", "tuning"}},
        {{}, {}},
    };
    const Bytes sent(kProgramBytes, 0x00);
    for (const auto& [flips, parts] : rows) {
        Bytes back = sent;
        for (const auto& [at, bits] : flips) {
            back[at] ^= bits;
        }
        EXPECT_EQ(differingParts(sent, back), parts) << flips.size() << " bytes";
    }
    // A short answer counts as changed where it stops.
    EXPECT_EQ(differingParts(sent, Bytes(sent.begin(), sent.begin() + 250)),
              std::vector<std::string>{"pin rows 103-105"});
    EXPECT_EQ(joinParts({"pin rows 1, 2", "crescendo", "tuning"}),
              "pin rows 1, 2; crescendo and tuning");
}

TEST(TimeLeft, ScalesWhatTheProgramsSoFarTookToThoseStillToGo) {
    // Elapsed ms, programs done, programs in all, the text.
    const std::tuple<std::int64_t, int, int, const char*> cases[] = {
        {3800, 1, 16, "About 57 s left"},
        {7600, 2, 4, "About 8 s left"},
        {3800, 1, 40, "About 2 min left"},
        {0, 0, 16, ""},
        {61200, 16, 16, ""},
        {1, 1, 2, "About 1 s left"},
    };
    for (const auto& [elapsedMs, done, total, text] : cases) {
        EXPECT_EQ(timeLeftText(elapsedMs, done, total), text) << elapsedMs << " " << done;
    }
}

}  // namespace
}  // namespace vrx
