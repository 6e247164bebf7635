// vrxtool's device commands in virtual time: what each says happened, against what the
// simulated unit and the folder hold afterwards.
#include <gtest/gtest.h>

#include "cli/program_files.h"
#include "files/program_folder.h"
#include "files/temp_folder.h"

namespace vrx::cli {
namespace {

using vrx::testing::TempFolder;

// A program no editor would make: filler bytes of 0 and pin kinds it does not know.
Bytes oddProgram(std::uint8_t seed) {
    Bytes data(kProgramBytes);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>((i * 37 + seed) % 251);
    }
    data[0] = kFormatByteNew;  // what the simulated unit's firmware asks for
    return data;
}

// Each command as the user gives it, with the moments of its Ctrl+C: its exit status,
// how its last line ends, and what the unit and the folder hold afterwards.
TEST(VrxtoolOutcome, EachStoppedOrFailedCommandSaysWhatTheUnitAndFolderHold) {
    struct Row {
        std::string name;
        std::string args;  // "$D" is the test's folder
        std::vector<std::int64_t> interruptsMs;
        int status;
        std::string lastLineEnd;
        std::function<void(const VirtualHost&, const std::filesystem::path&)> check = nullptr;
    };
    // The editor writes what it decoded from the file, encoded for the unit's firmware.
    const Bytes newProgram = [] {
        const Bytes image =
            encodeProgramData(*decodeProgramData(oddProgram(7)), kFormatByteDefault);
        return Bytes(image.begin(), image.begin() + kProgramBytes);
    }();
    const auto unitHolds = [](int program, const Bytes& bytes) {
        return [=](const VirtualHost& host, const std::filesystem::path&) {
            EXPECT_EQ(host.memory.at(program), bytes) << "program " << program;
        };
    };
    const auto untouched = [](const VirtualHost& host, const std::filesystem::path&) {
        EXPECT_EQ(updatesReceived(host), 0);
    };
    const std::vector<Row> rows = {
        // The read-back begins with an identity exchange: all of the program went out.
        {"Ctrl+C during the read-back",
         "write $D/new.vrx --program 5 --simulator",
         {5000},
         1,
         "interrupted: program 5 was written but not verified",
         unitHolds(5, newProgram)},
        {"Ctrl+C before any block",
         "write $D/new.vrx --program 5 --simulator",
         {150},
         1,
         "interrupted before anything was written: program 5 in the VRX is unchanged",
         untouched},
        {"two Ctrl+C during the blocks",
         "write $D/new.vrx --program 5 --simulator",
         {1500, 2100},
         1,
         "interrupted: program 5 in the VRX may be incomplete (2 of 4 blocks went out): write "
         "it again"},
        {"one Ctrl+C during the blocks lets the write finish",
         "write $D/new.vrx --program 5 --simulator",
         {1500},
         0,
         "new.vrx written to program 5 and verified",
         unitHolds(5, newProgram)},
        // The pacing and the restart are no silence of the unit.
        {"a short --timeout",
         "write $D/new.vrx --program 2 --simulator --timeout 0.5",
         {},
         0,
         "new.vrx written to program 2 and verified",
         unitHolds(2, newProgram)},
        {"a short --timeout on a restore",
         "restore $D/backup --simulator --timeout 0.5",
         {},
         0,
         "Program 4: written and verified"},
        {"a silent unit",
         "write $D/new.vrx --program 2 --simulator --simulator-silent --timeout 1",
         {},
         1,
         "the unit did not answer within 1 s: check the MIDI connections and that the VRX is "
         "turned on: program 2 in the VRX is unchanged"},
        {"--only names a program without a file",
         "restore $D/backup --only 3,5 --simulator",
         {},
         2,
         "--only names programs with no file in $D/backup: 5; nothing was written",
         untouched},
        // The restart after the read-back is the write's last message.
        {"the restart after a verified write fails",
         "write $D/new.vrx --program 2 --simulator --simulator-fault output-fails-after=10",
         {},
         3,
         "Sending failed: program 2 was written and verified; the VRX did not get its restart "
         "message: switch it off and on.",
         unitHolds(2, newProgram)},
        {"the restart after a read fails",
         "read --program 3 -o $D/read.vrx --simulator --simulator-fault output-fails-after=3",
         {},
         3,
         "warning: the VRX did not get its restart message: switch it off and on",
         [](const VirtualHost& host, const std::filesystem::path& folder) {
             EXPECT_EQ(programInFile(folder / "read.vrx"), host.memory.at(3));
         }},
        // The unit's third message is the answer to the first read-back.
        {"a read-back's answer is lost",
         "restore $D/backup --simulator --timeout 1 --simulator-fault lose-answer=3",
         {},
         1,
         "Program 3: written, but not verified\nProgram 4: not written; it is unchanged in the "
         "VRX"},
        // Program 3 is verified; the first block of program 4 cannot be sent.
        {"the output fails between two programs",
         "restore $D/backup --simulator --simulator-fault output-fails-after=10",
         {},
         1,
         "Program 3: written and verified\nProgram 4: failed: Sending failed: program 4 in the "
         "VRX is unchanged."},
        {"--trace after restore",
         "restore $D/backup --trace --simulator --no-verify",
         {},
         0,
         "ms  out    9  VRX_REBOOT  f0 00 21 5e 00 04 01 20 f7"},
        {"--trace before restore",
         "--trace restore $D/backup --simulator --no-verify",
         {},
         0,
         "ms  out    9  VRX_REBOOT  f0 00 21 5e 00 04 01 20 f7"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        saveProgramFile(folder / "new.vrx", oddProgram(7));
        std::filesystem::create_directories(folder / "backup");
        saveProgramFile(folder / "backup/program-003.vrx", oddProgram(3));
        saveProgramFile(folder / "backup/program-004.vrx", oddProgram(4));
        VirtualHost host;
        host.interruptAtMs = row.interruptsMs;
        std::string args = row.args;
        std::string lastLineEnd = row.lastLineEnd;
        for (auto* text : {&args, &lastLineEnd}) {
            if (const auto at = text->find("$D"); at != std::string::npos) {
                text->replace(at, 2, folder.path().string());
            }
        }
        const auto run = runInProcess(host, args);
        EXPECT_EQ(run.status, row.status) << run.err;
        const std::string said =
            (row.args.find("--trace") != std::string::npos ? run.err : run.lastLine()) + run.out;
        EXPECT_TRUE(said.find(lastLineEnd) != std::string::npos) << lastLineEnd << "\n---\n"
                                                                 << run.err << run.out;
        EXPECT_LT(run.virtualMs, 60'000);
        if (row.check) {
            row.check(host, folder.path());
        }
    }
}

// A backup is a copy of the unit written as a set, and a restore of a folder sends it back
// byte for byte, or refuses the folder before anything is sent.
TEST(VrxtoolOutcome, BackupIsAByteExactSetAndRestoreSendsItBackAsKept) {
    TempFolder folder;
    const auto backup = folder / "backup";
    VirtualHost host;
    host.memory[3] = oddProgram(3);
    // An older backup of another unit, with a program this unit does not have.
    std::filesystem::create_directories(backup);
    for (const int p : {1, 2, 17}) {
        saveProgramFile(programFileName(backup, p), oddProgram(static_cast<std::uint8_t>(100 + p)));
    }
    vrx::testing::writeBytes(backup / "notes.txt", "console wiring");
    const std::string dir = backup.string();
    struct Row {
        std::string args;
        int status;
        std::string lastLineEnd;
    };
    const Row rows[] = {
        {"backup " + dir + " --simulator", 2,
         dir + " already holds program-001.vrx, program-002.vrx, program-017.vrx: give "
               "--replace to replace that backup"},
        {"backup " + dir + " --replace --simulator --simulator-fault output-fails-after=8", 1,
         "try again. " + dir + " is as it was."},
        {"backup " + dir + " --replace --simulator", 0, "16 programs saved in " + dir},
    };
    for (const auto& row : rows) {
        const auto run = runInProcess(host, row.args);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_TRUE(run.lastLine().ends_with(row.lastLineEnd)) << row.lastLineEnd << "\n"
                                                               << run.err;
        // Files that are no programs stay, whatever became of the set.
        EXPECT_EQ(vrx::testing::readBytes(backup / "notes.txt"), "console wiring");
    }
    // What comes back is what was kept, filler bytes and unknown kinds included.
    host.memory.clear();
    auto run = runInProcess(host, "restore " + dir + " --only 3 --simulator");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(host.memory.at(3), oddProgram(3));
    // A file for another firmware's format is converted as a single write would, and said.
    Bytes older = oddProgram(3);
    older[0] = kFormatByteDefault;
    saveProgramFile(programFileName(backup, 3), older);
    run = runInProcess(host, "restore " + dir + " --only 3 --simulator");
    EXPECT_EQ(run.out,
              "Program 3: written and verified (its format byte 18 was converted for "
              "this VRX's firmware)\n");
    EXPECT_EQ(host.memory.at(3), oddProgram(3));
    // Files beyond the unit's programs, or two for one program, refuse the folder.
    const std::pair<std::string, std::string> refused[] = {
        {"program-0004.vrx", "program-0004.vrx, program-004.vrx: more than one file for program 4"},
        {"program-020.vrx", "program-020.vrx: beyond the 16 programs the VRX holds"},
    };
    for (const auto& [name, why] : refused) {
        saveProgramFile(backup / name, oddProgram(9));
        run = runInProcess(host, "restore " + dir + " --simulator");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.lastLine(), "vrxtool: " + why + "; nothing was written");
        std::filesystem::remove(backup / name);
    }
    EXPECT_EQ(updatesReceived(host), 0);
}

}  // namespace
}  // namespace vrx::cli
