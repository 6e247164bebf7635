// vrxtool's device commands, run as the user runs them, against the simulated unit.
#include <sstream>

#include "cli/device_session.h"
#include "cli/vrxtool_runner.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "ports/simulated_unit.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

class DeviceCommands : public cli::VrxtoolTest {
protected:
    // What the program would save after loading this program of a fresh unit.
    static Bytes savedImageOf(int program) {
        const auto data = decodeProgramData(plausibleProgramData(program, kFormatByteDefault));
        return encodeProgramData(*data, kFormatByteDefault);
    }
};

TEST_F(DeviceCommands, PortsListsTheSimulatorLast) {
    const auto run = vrxtool({"ports", "--simulator"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("MIDI In:\n"), std::string::npos) << run.out;
    const auto inAt = run.out.find(": VRX Simulator\nMIDI Out:");
    EXPECT_NE(inAt, std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with(": VRX Simulator\n")) << run.out;
}

TEST_F(DeviceCommands, TraceNamesEveryMessageOnStderrBetweenTheProgress) {
    const auto run = vrxtool({"--trace", "read", "--simulator", "--program", "3", "-o", "p3.vrx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    // Saved as the editor would save it.
    EXPECT_EQ(read(file("p3.vrx")), configFileText(savedImageOf(3)));
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
    // Without --trace the progress stays as it was.
    const auto quiet = vrxtool({"read", "--simulator", "--program", "3", "-o", "q.vrx"});
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err.find(" ms  "), std::string::npos) << quiet.err;
}

TEST_F(DeviceCommands, WriteSendsAFileAndReportsDone) {
    ASSERT_TRUE(writeConfigFile(file("p.vrx"), savedImageOf(7)));
    const auto run = vrxtool({"write", "p.vrx", "--program", "2", "--simulator"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Writing Program Data to VRX... \nDone.\nVerifying... ok"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("p.vrx written to program 2 and verified"), std::string::npos);
    // Five messages paced 600 ms apart after the identity exchange.
    EXPECT_GE(run.seconds, 3.0);
}

// A block the unit dropped is found by the read-back: the write fails, naming what the
// unit holds instead of the file.
TEST_F(DeviceCommands, WriteTheUnitDidNotKeepEndsWithStatusOne) {
    ASSERT_TRUE(writeConfigFile(file("p.vrx"), savedImageOf(7)));
    const auto run = vrxtool(
        {"write", "p.vrx", "--program", "2", "--simulator", "--simulator-fault", "drop-update=2"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("Verifying...\nThe unit holds something else in pin rows "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Please write the program again.\nvrxtool: Program 2: failed: the "
                           "unit holds something else in pin rows "),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(run.err.ends_with("; write it again\n")) << run.err;
}

TEST_F(DeviceCommands, RestoreWritesTheChosenFilesAndNamesThoseThatFailed) {
    std::filesystem::create_directories(file("backup"));
    ASSERT_TRUE(writeConfigFile(file("backup/program-002.vrx"), savedImageOf(9)));
    ASSERT_TRUE(writeConfigFile(file("backup/program-005.vrx"), savedImageOf(10)));
    ASSERT_TRUE(writeConfigFile(file("backup/program-009.vrx"), savedImageOf(11)));
    write(file("backup/program-004.vrx"), "hello\r\n");
    const auto run = vrxtool({"restore", "backup", "--only", "2-4", "--simulator"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out,
              "Program 2: written and verified\n"
              "Program 4: failed: program-004.vrx: it holds no Program Data line\n");
    EXPECT_TRUE(run.err.ends_with("vrxtool: not restored: program 4\n")) << run.err;
    EXPECT_EQ(vrxtool({"restore", "backup", "--only", "5-3", "--simulator"}).status, 2);
}

TEST_F(DeviceCommands, WriteRefusesAFileWithoutProgramData) {
    write(file("empty.vrx"), "hello\r\n");
    const auto run = vrxtool({"write", "empty.vrx", "--program", "2", "--simulator"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("holds no Program Data line"), std::string::npos) << run.err;
}

TEST_F(DeviceCommands, BackupWritesEveryProgramTheUnitHolds) {
    const auto out = file("backup");
    const auto run = vrxtool({"backup", "backup", "--simulator"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (int p = 1; p <= 16; ++p) {
        char name[32];
        std::snprintf(name, sizeof name, "program-%03d.vrx", p);
        const auto contents = readConfigFile(out / name);
        ASSERT_TRUE(std::holds_alternative<Bytes>(contents)) << name;
        EXPECT_EQ(std::get<Bytes>(contents), savedImageOf(p)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(out / "program-017.vrx"));
}

TEST_F(DeviceCommands, SilentUnitEndsWithAClearErrorAfterTheTimeout) {
    const auto run = vrxtool({"read", "--simulator", "--simulator-silent", "--timeout", "1",
                              "--program", "1", "-o", "x.vrx"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("vrxtool: the unit did not answer within 1 s"), std::string::npos)
        << run.err;
    EXPECT_LT(run.seconds, 5);
    EXPECT_FALSE(std::filesystem::exists(file("x.vrx")));
}

TEST_F(DeviceCommands, ProgramTheUnitDoesNotHoldIsBadInput) {
    const auto run = vrxtool({"read", "--simulator", "--program", "17", "-o", "x.vrx"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the unit holds programs 1 to 16, not 17"), std::string::npos)
        << run.err;
}

TEST_F(DeviceCommands, ProgramNumbersTheAddressCannotCarryAreRefused) {
    ASSERT_TRUE(writeConfigFile(file("p.vrx"), savedImageOf(1)));
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"read", "--simulator", "--program", "8193", "-o", "x.vrx"},
             {"write", "p.vrx", "--simulator", "--program", "8193"}}) {
        const auto run = vrxtool(args);
        EXPECT_EQ(run.status, 2) << args.front();
        EXPECT_NE(run.err.find("--program: Value 8193 not in range 1 to 8192"), std::string::npos)
            << run.err;
    }
}

TEST_F(DeviceCommands, SimulatorFaultsEndTheWayTheUserSeesThem) {
    ASSERT_TRUE(writeConfigFile(file("p.vrx"), savedImageOf(4)));
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string says;
    };
    const std::vector<Row> table = {
        {{"write", "p.vrx", "--program", "2", "--simulator", "--simulator-fault",
          "output-fails-after=4"},
         1,
         "vrxtool: Sending failed: 2 of 5 messages went out. The program in the VRX may be "
         "incomplete: write it again.\n"},
        {{"read", "--program", "2", "-o", "x.vrx", "--simulator", "--simulator-fault",
          "lose-answer=2", "--simulator-fault", "line-noise"},
         0,
         "Requesting VRX Program Data.. ok.\nLoading Program Data from VRX...\nDone.\n"
         "Program 2 saved to x.vrx\n"},
        {{"read", "--program", "2", "-o", "x.vrx", "--simulator", "--simulator-fault",
          "lose-answer"},
         2,
         "vrxtool: the simulator fault lose-answer needs a number: lose-answer=N\n"},
        {{"read", "--program", "2", "-o", "x.vrx", "--simulator-fault", "echo"},
         2,
         "vrxtool: --simulator-fault needs --simulator\n"},
    };
    for (const auto& row : table) {
        const auto run = vrxtool(row.args);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_TRUE(run.err.ends_with(row.says)) << run.err;
    }
}

// Ctrl+C once the updates are going out: the first lets the write finish, a second
// abandons it and says so.
TEST_F(DeviceCommands, InterruptedWriteFinishesUnlessInterruptedTwice) {
    ASSERT_TRUE(writeConfigFile(file("p.vrx"), savedImageOf(4)));
    struct Row {
        int interrupts;
        int status;
        std::string says;
    };
    for (const auto& row :
         {Row{1, 0, "Done.\nVerifying... ok\np.vrx written to program 2 and verified\n"},
          Row{2, 1,
              " messages went out. The program in the VRX may be "
              "incomplete: write it again.\n"}}) {
        // Waits at most 10 s for a line on stderr.
        const auto awaitLine = [](const std::string& line) {
            return "n=0; until grep -q '" + line +
                   "' err.txt || [ $n -ge 1000 ]; do sleep 0.01; n=$((n+1)); done; ";
        };
        // The second comes as soon as the first has been answered.
        std::string kills = "kill -INT $p; ";
        if (row.interrupts == 2) {
            kills += awaitLine("interrupted: finishing") + "kill -INT $p; ";
        }
        // The previous row's err.txt would let the first wait pass at once.
        const std::string script = "cd '" + folder_.string() +
                                   "' && rm -f err.txt && ('" VRX_BIN_DIR
                                   "/vrxtool' write p.vrx --program 2 --simulator 2>err.txt & "
                                   "p=$!; " +
                                   awaitLine("Writing Program Data to VRX") + kills + "wait $p)";
        const int raw = std::system(script.c_str());
        const auto err = read(file("err.txt"));
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, row.status) << err;
        EXPECT_NE(err.find("vrxtool: interrupted: finishing the "), std::string::npos) << err;
        EXPECT_TRUE(err.ends_with(row.says)) << err;
        if (row.interrupts == 2) {
            EXPECT_NE(err.find("vrxtool: Abandoned: "), std::string::npos) << err;
        }
    }
}

TEST_F(DeviceCommands, DevicesMustBeNamedWithoutTheSimulator) {
    const auto run = vrxtool({"read", "--program", "1", "-o", "x.vrx"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("give --in and --out"), std::string::npos) << run.err;
    const auto missing =
        vrxtool({"read", "--simulator", "--in", "9", "--program", "1", "-o", "x.vrx"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("there is no MIDI input #9"), std::string::npos) << missing.err;
}

// On the real clock the messages of a write are as far apart as the unit needs, and
// not a tick more.
TEST(DeviceSessionTiming, WriteMessagesLeaveSixHundredMillisecondsApartWithoutAnAddedTick) {
    cli::DeviceOptions options;
    options.simulator = true;
    std::ostringstream progress;
    cli::DeviceSession session(options, progress, 3);
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
    EXPECT_TRUE(unit->droppedUpdates().empty());
}

}  // namespace
}  // namespace vrx
