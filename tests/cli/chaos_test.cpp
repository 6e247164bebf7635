// Seeded schedules of vrxtool commands against a simulated unit with random faults,
// timeouts, Ctrl+C moments, --only sets and reused folders, in virtual time. After each
// command its exit status and words are held against what the unit and the folder hold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <random>

#include "cli/program_files.h"
#include "files/program_folder.h"
#include "files/temp_folder.h"

namespace vrx::cli {
namespace {

using vrx::testing::TempFolder;

constexpr int kUnitPrograms = 16;
constexpr std::int64_t kCommandBoundMs = 180'000;

Bytes randomProgram(std::mt19937& random) {
    Bytes data(kProgramBytes);
    for (auto& byte : data) {
        byte = static_cast<std::uint8_t>(random() % 256);
    }
    data[0] = kFormatByteNew;
    return data;
}

std::map<std::string, std::string> folderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& name : programFileNames(folder)) {
        contents[name] = vrx::testing::readBytes(folder / name);
    }
    return contents;
}

std::string randomFault(std::mt19937& random) {
    const auto n = [&](int most) { return std::to_string(1 + random() % most); };
    switch (random() % 12) {
        case 7:
            return " --simulator-fault late-answer=" + n(10) + ":" +
                   std::to_string(random() % 5000);
        case 8:
            return " --simulator-fault silent-after-reboot=" + n(3);
        case 9:
            return " --simulator-fault stray-replies";
        case 0:
            return " --simulator-fault output-fails-after=" + n(40);
        case 1:
            return " --simulator-fault lose-answer=" + n(12);
        case 2:
            return " --simulator-fault damage-answer=" + n(12);
        case 3:
            return " --simulator-fault drop-update=" + n(8);
        case 4:
            return " --simulator-fault ignore-requests=" + n(5);
        case 5:
            return " --simulator-fault line-noise";
        case 6:
            return " --simulator-fault echo";
        default:
            return "";
    }
}

// One command of a schedule and the checks that follow it.
class Schedule {
public:
    // The unit keeps its programs in a folder of its own between the commands.
    Schedule(unsigned seed, const std::filesystem::path& folder) : random_(seed), folder_(folder) {
        std::filesystem::create_directories(folder_ / "set");
        std::filesystem::create_directories(folder_ / "unit");
        for (int p = 1; p <= kUnitPrograms; ++p) {
            host_.memory[p] = randomProgram(random_);
            saveProgramFile(programFileName(folder_ / "unit", p), host_.memory[p]);
        }
    }

    void runOne() {
        before_ = host_.memory;
        std::string options =
            " --simulator --simulator-memory " + (folder_ / "unit").string() + " --timeout " +
            std::to_string(1 + static_cast<int>(random_() % 40) / 10.0) + randomFault(random_);
        for (int k = static_cast<int>(random_() % 3); k > 0 && random_() % 2 == 0; --k) {
            host_.interruptAtMs.push_back(static_cast<std::int64_t>(random_() % 15'000));
        }
        std::sort(host_.interruptAtMs.begin(), host_.interruptAtMs.end());
        switch (random_() % 4) {
            case 0:
                write(options);
                break;
            case 1:
                read(options);
                break;
            case 2:
                backup(options);
                break;
            default:
                restore(options);
                break;
        }
    }

    int commands = 0;

private:
    InProcessRun run(const std::string& args) {
        ++commands;
        auto result = runInProcess(host_, args);
        context_ = args + "\n" + result.err + result.out;
        EXPECT_LT(result.virtualMs, kCommandBoundMs) << context_;
        EXPECT_TRUE(result.status >= 0 && result.status <= 3) << context_;
        return result;
    }

    void write(const std::string& options) {
        const int program = 1 + static_cast<int>(random_() % kUnitPrograms);
        const Bytes sent = randomProgram(random_);
        saveProgramFile(folder_ / "new.vrx", sent);
        const bool verify = random_() % 3 != 0;
        // The editor encodes what it decoded: that, not the file's raw bytes, goes out.
        const Bytes image = encodeProgramData(*decodeProgramData(sent), kFormatByteDefault);
        const Bytes expected(image.begin(), image.begin() + kProgramBytes);
        const auto result = run("write " + (folder_ / "new.vrx").string() + " --program " +
                                std::to_string(program) + (verify ? "" : " --no-verify") + options);
        const auto& now = host_.memory.at(program);
        const std::string last = result.lastLine();
        if (last.find("verified") != std::string::npos &&
            last.find("not verified") == std::string::npos) {
            EXPECT_EQ(now, expected) << context_;
        }
        if (last.find("unchanged") != std::string::npos) {
            EXPECT_EQ(now, before_.at(program)) << context_;
        }
        if (result.status == 0) {
            EXPECT_TRUE(!verify || now == expected) << context_;
        }
        // "Done." says every block of the program reached the cable to the unit.
        if (result.err.find("Done.") != std::string::npos) {
            EXPECT_EQ(updatesReceived(host_), static_cast<int>(kUpdateBlocks)) << context_;
        }
        // Never a half-new program without saying so; without the read-back only the unit
        // knows whether it kept every block.
        if (verify && now != expected && now != before_.at(program) && result.status != 1) {
            ADD_FAILURE() << "mixed program reported as " << result.status << "\n" << context_;
        }
    }

    void read(const std::string& options) {
        const int program = 1 + static_cast<int>(random_() % kUnitPrograms);
        const auto file = folder_ / "read.vrx";
        std::filesystem::remove(file);
        const auto result =
            run("read --program " + std::to_string(program) + " -o " + file.string() + options);
        if (result.status == 0 || result.status == 3) {
            const Bytes read = encodeProgramData(*decodeProgramData(programInFile(file)), 18);
            const Bytes held = encodeProgramData(*decodeProgramData(host_.memory.at(program)), 18);
            EXPECT_EQ(read, held) << context_;
        } else {
            EXPECT_FALSE(std::filesystem::exists(file)) << context_;
        }
    }

    void backup(const std::string& options) {
        const auto set = folder_ / "set";
        // Sometimes the folder holds another unit's programs, some beyond this one's.
        if (random_() % 3 == 0) {
            saveProgramFile(programFileName(set, 17 + static_cast<int>(random_() % 5)),
                            randomProgram(random_));
        }
        const auto earlier = folderContents(set);
        const bool replace = random_() % 4 != 0;
        const auto result = run("backup " + set.string() + (replace ? " --replace" : "") + options);
        const auto now = folderContents(set);
        if (result.status != 0) {
            EXPECT_EQ(now, earlier) << "a failed backup changed the folder\n" << context_;
            return;
        }
        EXPECT_EQ(now.size(), static_cast<std::size_t>(kUnitPrograms)) << context_;
        for (int p = 1; p <= kUnitPrograms; ++p) {
            EXPECT_EQ(programInFile(programFileName(set, p)), host_.memory.at(p)) << context_;
        }
    }

    void restore(const std::string& options) {
        const auto set = folder_ / "set";
        std::string only;
        if (random_() % 2 == 0) {
            const int first = 1 + static_cast<int>(random_() % 18);
            only = " --only " + std::to_string(first) + "-" +
                   std::to_string(first + static_cast<int>(random_() % 3));
        }
        const auto result = run("restore " + set.string() + only + options);
        for (std::istringstream lines(result.out); !lines.eof();) {
            std::string line;
            std::getline(lines, line);
            int program = 0;
            if (std::sscanf(line.c_str(), "Program %d:", &program) != 1 || program < 1 ||
                program > kUnitPrograms) {
                continue;
            }
            const Bytes kept = programInFile(programFileName(set, program));
            const auto& now = host_.memory.at(program);
            if (line.find("written and verified") != std::string::npos) {
                EXPECT_EQ(now, kept) << line << "\n" << context_;
            }
            if (line.find("unchanged") != std::string::npos) {
                EXPECT_EQ(now, before_.at(program)) << line << "\n" << context_;
            }
        }
        if (result.status == 2) {
            EXPECT_EQ(host_.memory, before_) << "a refused restore wrote\n" << context_;
        }
    }

    std::mt19937 random_;
    std::filesystem::path folder_;
    VirtualHost host_;
    std::map<int, Bytes> before_;
    std::string context_;
};

// Every stored program and backup file is flushed to disk; in memory those flushes cost
// nothing, so the schedules run at the speed of the link.
struct MemoryBackedTemp {
    MemoryBackedTemp() {
        if (std::filesystem::is_directory("/dev/shm")) {
            previous = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
            setenv("TMPDIR", "/dev/shm", 1);
        }
    }
    ~MemoryBackedTemp() {
        if (previous) {
            previous->empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", previous->c_str(), 1);
        }
    }
    std::optional<std::string> previous;
};

TEST(VrxtoolChaos, SeededSchedulesSayOnlyWhatTheUnitAndFolderHold) {
    const MemoryBackedTemp inMemory;
    constexpr int kSchedules = 8;
    constexpr int kCommandsEach = 25;
    int commands = 0;
    for (unsigned seed = 1; seed <= kSchedules; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempFolder folder;
        Schedule schedule(seed, folder.path());
        for (int k = 0; k < kCommandsEach && !::testing::Test::HasFailure(); ++k) {
            schedule.runOne();
        }
        commands += schedule.commands;
    }
    EXPECT_EQ(commands, kSchedules * kCommandsEach);
}

}  // namespace
}  // namespace vrx::cli
