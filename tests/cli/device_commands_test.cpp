// vrxtool's device commands, run as the user runs them, against the simulated unit.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/config_file.h"
#include "model/program_image.h"
#include "ports/simulated_unit.h"

namespace vrx {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
    double seconds = 0;
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DeviceCommands : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vrxtool-device-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    ToolRun vrxtool(const std::string& arguments) {
        const auto out = dir_ / "stdout.txt";
        const auto err = dir_ / "stderr.txt";
        const std::string command = std::string(VRX_BIN_DIR) + "/vrxtool " + arguments + " >" +
                                    out.string() + " 2>" + err.string();
        const auto start = std::chrono::steady_clock::now();
        const int raw = std::system(command.c_str());
        ToolRun run;
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = slurp(out);
        run.err = slurp(err);
        return run;
    }

    // What the program would save after loading this program of a fresh unit.
    static Bytes savedImageOf(int program) {
        const auto data = decodeProgramData(plausibleProgramData(program, kFormatByteDefault));
        return encodeProgramData(*data, kFormatByteDefault);
    }

    fs::path dir_;
};

TEST_F(DeviceCommands, PortsListsTheSimulatorLast) {
    const auto run = vrxtool("ports --simulator");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("MIDI In:\n"), std::string::npos) << run.out;
    const auto inAt = run.out.find(": VRX Simulator\nMIDI Out:");
    EXPECT_NE(inAt, std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with(": VRX Simulator\n")) << run.out;
}

TEST_F(DeviceCommands, ReadSavesTheProgramAsTheEditorWould) {
    const auto file = dir_ / "p3.vrx";
    const auto run = vrxtool("read --simulator --program 3 -o " + file.string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Done."), std::string::npos) << run.err;
    EXPECT_EQ(fs::file_size(file), kConfigFileBytes);
    const auto contents = readConfigFile(file);
    ASSERT_TRUE(std::holds_alternative<Bytes>(contents));
    EXPECT_EQ(std::get<Bytes>(contents), savedImageOf(3));
}

TEST_F(DeviceCommands, WriteSendsAFileAndReportsDone) {
    const auto file = dir_ / "p.vrx";
    ASSERT_TRUE(writeConfigFile(file, savedImageOf(7)));
    const auto run = vrxtool("write " + file.string() + " --program 2 --simulator");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Writing Program Data to VRX... \nDone."), std::string::npos) << run.err;
    // Five messages paced 700 ms apart after the identity exchange.
    EXPECT_GE(run.seconds, 3.5);
}

TEST_F(DeviceCommands, WriteRefusesAFileWithoutProgramData) {
    const auto file = dir_ / "empty.vrx";
    std::ofstream(file) << "hello\r\n";
    const auto run = vrxtool("write " + file.string() + " --program 2 --simulator");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("holds no Program Data line"), std::string::npos) << run.err;
}

TEST_F(DeviceCommands, BackupWritesEveryProgramTheUnitHolds) {
    const auto out = dir_ / "backup";
    const auto run = vrxtool("backup " + out.string() + " --simulator");
    ASSERT_EQ(run.status, 0) << run.err;
    for (int p = 1; p <= 16; ++p) {
        char name[32];
        std::snprintf(name, sizeof name, "program-%03d.vrx", p);
        const auto contents = readConfigFile(out / name);
        ASSERT_TRUE(std::holds_alternative<Bytes>(contents)) << name;
        EXPECT_EQ(std::get<Bytes>(contents), savedImageOf(p)) << name;
    }
    EXPECT_FALSE(fs::exists(out / "program-017.vrx"));
}

TEST_F(DeviceCommands, SilentUnitEndsWithAClearErrorAfterTheTimeout) {
    const auto run = vrxtool("read --simulator --simulator-silent --timeout 1 --program 1 -o " +
                             (dir_ / "x.vrx").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("vrxtool: the unit did not answer within 1 s"), std::string::npos)
        << run.err;
    EXPECT_LT(run.seconds, 5);
    EXPECT_FALSE(fs::exists(dir_ / "x.vrx"));
}

TEST_F(DeviceCommands, ProgramTheUnitDoesNotHoldIsBadInput) {
    const auto run = vrxtool("read --simulator --program 17 -o " + (dir_ / "x.vrx").string());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the unit holds programs 1 to 16, not 17"), std::string::npos)
        << run.err;
}

TEST_F(DeviceCommands, DevicesMustBeNamedWithoutTheSimulator) {
    const auto run = vrxtool("read --program 1 -o " + (dir_ / "x.vrx").string());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("give --in and --out"), std::string::npos) << run.err;
    const auto missing =
        vrxtool("read --simulator --in 9 --program 1 -o " + (dir_ / "x.vrx").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("there is no MIDI input #9"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace vrx
