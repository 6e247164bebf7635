// vrxtool's device commands, run as the user runs them, against the simulated unit.
#include "cli/vrxtool_runner.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "ports/simulated_unit.h"

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

TEST_F(DeviceCommands, ReadSavesTheProgramAsTheEditorWould) {
    const auto run = vrxtool({"read", "--simulator", "--program", "3", "-o", "p3.vrx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Done."), std::string::npos) << run.err;
    EXPECT_EQ(std::filesystem::file_size(file("p3.vrx")), kConfigFileBytes);
    const auto contents = readConfigFile(file("p3.vrx"));
    ASSERT_TRUE(std::holds_alternative<Bytes>(contents));
    EXPECT_EQ(std::get<Bytes>(contents), savedImageOf(3));
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

TEST_F(DeviceCommands, DevicesMustBeNamedWithoutTheSimulator) {
    const auto run = vrxtool({"read", "--program", "1", "-o", "x.vrx"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("give --in and --out"), std::string::npos) << run.err;
    const auto missing =
        vrxtool({"read", "--simulator", "--in", "9", "--program", "1", "-o", "x.vrx"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("there is no MIDI input #9"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace vrx
