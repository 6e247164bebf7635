// vrxtool's device commands, run as the user runs them, against the simulated unit.
#include <sstream>

#include "cli/device_session.h"
#include "cli/vrxtool_runner.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "ports/simulated_unit.h"
#include "protocol/messages.h"

namespace vrx::cli {
namespace {

using DeviceCommands = VrxtoolTest;

// What the program would save after loading this program of a fresh unit.
std::string savedFileOf(int program) {
    const auto data = decodeProgramData(plausibleProgramData(program, kFormatByteDefault));
    return configFileText(encodeProgramData(*data, kFormatByteDefault));
}

// Each use: its exit status, how stderr ends (after the progress), all of stdout, and for a
// unit that never answers, how soon it gives up. A read that fails leaves no file.
TEST_F(DeviceCommands, EachUseEndsTheWayTheUserSeesIt) {
    write(file("p.vrx"), savedFileOf(7));
    std::filesystem::create_directories(file("backup"));
    write(file("backup/program-002.vrx"), savedFileOf(9));
    write(file("backup/program-004.vrx"), "hello\r\n");
    write(file("backup/program-005.vrx"), savedFileOf(10));
    const std::string tooHigh =
        "Value 8193 not in range 1 to 8192\nRun with --help for more information.\n";
    const std::string only = "vrxtool: --only: \"";
    const std::string notARange = "\" is not a program number or a range like 3-5\n";
    struct Case {
        std::string args;
        int status;
        std::string err;
        std::string out = "";
        double seconds = 30;  // at most
    };
    const Case cases[] = {
        {"write p.vrx --program 2 --simulator", 0,
         "Writing Program Data to VRX... \nDone.\nVerifying... ok\n"
         "p.vrx written to program 2 and verified\n"},
        // A block the unit dropped is found by the read-back.
        {"write p.vrx --program 2 --simulator --simulator-fault drop-update=2", 1,
         "Please write the program again.\nvrxtool: Program 2: failed: the unit holds "
         "something else in pin rows 10-41; write it again\n"},
        {"write p.vrx --program 2 --simulator --simulator-fault output-fails-after=4", 1,
         "vrxtool: Sending failed: 2 of 5 messages went out. The program in the VRX may be "
         "incomplete: write it again.\n"},
        {"read --program 2 -o x.vrx --simulator --simulator-fault lose-answer=2 "
         "--simulator-fault line-noise",
         0,
         "Requesting VRX Program Data.. ok.\nLoading Program Data from VRX...\nDone.\n"
         "Program 2 saved to x.vrx\n"},
        {"restore backup --only 2,4 --simulator", 1, "vrxtool: not restored: program 4\n",
         "Program 2: written and verified\n"
         "Program 4: failed: program-004.vrx: it holds no Program Data line\n"},
        {"backup all --simulator", 0, "16 programs saved in all\n"},
        {"backup p.vrx/inside --simulator", 1,
         "vrxtool: cannot create p.vrx/.inside.new-backup: Not a directory\n"},
        {"read --simulator --program 17 -o y.vrx", 2,
         "vrxtool: the unit holds programs 1 to 16, not 17\n"},
        {"read --simulator --program 8193 -o y.vrx", 2, tooHigh},
        {"write p.vrx --simulator --program 8193", 2, tooHigh},
        {"write backup/program-004.vrx --program 2 --simulator", 2,
         "vrxtool: backup/program-004.vrx holds no Program Data line\n"},
        {"read --program 2 -o y.vrx --simulator --simulator-fault lose-answer", 2,
         "vrxtool: the simulator fault lose-answer needs a number: lose-answer=N\n"},
        {"read --program 2 -o y.vrx --simulator-fault echo", 2,
         "vrxtool: --simulator-fault needs --simulator\n"},
        {"read --program 1 -o y.vrx", 2,
         "vrxtool: give --in and --out as `vrxtool ports` numbers the devices, or --simulator\n"},
        {"read --simulator --in 9 --program 1 -o y.vrx", 2,
         "vrxtool: there is no MIDI input #9 (see vrxtool ports)\n"},
        {"restore backup --only 4-3 --simulator", 2, only + "4-3" + notARange},
        {"restore backup --only 0,1 --simulator", 2, only + "0" + notARange},
        {"read --simulator --simulator-silent --timeout 1 --program 1 -o y.vrx", 1,
         "vrxtool: the unit did not answer within 1 s: check the MIDI connections and that the "
         "VRX is turned on\n",
         "", 5},
    };
    for (const auto& c : cases) {
        const auto run = vrxtool(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_TRUE(run.err.ends_with(c.err)) << c.err << "\n---\n" << run.err;
        EXPECT_EQ(run.out, c.out) << c.args;
        EXPECT_LT(run.seconds, c.seconds) << c.args;
    }
    EXPECT_EQ(read(file("x.vrx")), savedFileOf(2));
    // Numbered from 1 as the MIDI I/O Setup dialog numbers them, the simulator last.
    const auto ports = vrxtool("ports --simulator").out;
    EXPECT_TRUE(ports.starts_with("MIDI In:\n  #1: ") && ports.ends_with(": VRX Simulator\n"))
        << ports;
    EXPECT_NE(ports.find(": VRX Simulator\nMIDI Out:\n  #1: "), std::string::npos) << ports;
    for (int p = 1; p <= 17; ++p) {
        const auto name =
            (p < 10 ? "all/program-00" : "all/program-0") + std::to_string(p) + ".vrx";
        EXPECT_EQ(read(file(name)), p <= 16 ? savedFileOf(p) : "") << name;
    }
    EXPECT_FALSE(std::filesystem::exists(file("y.vrx")));
}

// --trace names every message in and out on stderr, between the progress lines.
TEST_F(DeviceCommands, TraceNamesEveryMessageAndTheReadSavesWhatTheEditorWould) {
    const auto run = vrxtool("--trace read --simulator --program 3 -o p3.vrx");
    EXPECT_EQ(run.status + run.out.size(), 0u) << run.err;
    for (const char* line : {
             " ms  out    9  TAG MESSAGE  f0 00 21 5e 7f 04 02 01 f7\n",
             " ms  out    6  Identity Request  f0 7e 7f 06 01 f7\n",
             " ms  in    22  Identity Reply: firmware 1.5, 12/31/2009, DIP program 1, 16 programs",
             " ms  out   14  PROGRAM_REQUEST for program 3  f0 00 21 5e 00 04 01 03 00 04 00 00 02 "
             "f7\n",
             " ms  in   305  PROGRAM_RESPONSE 1, 256 bytes  f0 00 21 5e 00 04 01 04 ",
             " ms  out    9  VRX_REBOOT  f0 00 21 5e 00 04 01 20 f7\n",
         }) {
        EXPECT_NE(run.err.find(line), std::string::npos) << line << "\n" << run.err;
    }
}

// On the real clock the messages of a write are as far apart as the unit needs, and
// not a tick more.
TEST(DeviceSessionTiming, WriteMessagesLeaveSixHundredMillisecondsApartWithoutAnAddedTick) {
    DeviceOptions options;
    options.simulator = true;
    std::ostringstream progress;
    RealSessionHost host;
    DeviceSession session(options, host, progress, 3);
    ASSERT_FALSE(session.configurePorts());
    auto& link = session.link();
    link.setVerifyAfterWriting(false);  // the write's own messages only
    link.writeToDevice();
    ASSERT_FALSE(session.run(
        [&] { return link.commState() == kStateResultShown && session.queueDrained(); }));
    const auto* unit = session.ports().simulatedUnit();
    const auto& at = unit->receivedAtMs();
    ASSERT_EQ(unit->received().size(), 7u) << progress.str();
    EXPECT_EQ(unit->received().back(), vrxReboot(0));
    for (std::size_t k = 2; k < at.size(); ++k) {
        EXPECT_GE(at[k] - at[k - 1], 600) << "message " << k + 1;
    }
    // A tick added to each pause would make the four gaps after the first update at least
    // 2800 ms; the margin below that absorbs a busy machine's late wake-ups.
    EXPECT_LE(at.back() - at[at.size() - 5], 2700);
}

}  // namespace
}  // namespace vrx::cli
