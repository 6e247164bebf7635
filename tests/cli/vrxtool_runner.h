#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vrx::cli {

// Runs the built vrxtool in a folder of its own, as a script would, and keeps what it
// printed and returned.
class VrxtoolTest : public testing::Test {
protected:
    struct Run {
        int status = -1;
        std::string out;
        std::string err;
        double seconds = 0;
    };

    // The process id keeps two builds that run the same test at once (a checkout and its
    // sanitizer build) out of each other's folder.
    std::filesystem::path folder_ = std::filesystem::path(testing::TempDir()) /
                                    ("vrxtool-" + std::to_string(getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());

    // The sample files lie in the folder under their own names.
    void SetUp() override {
        std::filesystem::create_directories(folder_);
        std::filesystem::copy(VRX_FIXTURES_DIR, folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path file(const std::string& name) const { return folder_ / name; }

    // Runs a shell script in the folder, with $vrxtool naming the built program.
    Run shell(const std::string& script) const {
        const std::string command = "cd '" + folder_.string() +
                                    "' && vrxtool='" VRX_BIN_DIR "/vrxtool' && (" + script +
                                    ") >stdout.txt 2>stderr.txt";
        const auto start = std::chrono::steady_clock::now();
        const int raw = std::system(command.c_str());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read(file("stdout.txt")),
                read(file("stderr.txt")), took.count()};
    }
    // `args` as a shell reads them: the tests' own words need no quoting.
    Run vrxtool(const std::string& args) const { return shell("\"$vrxtool\" " + args); }

    static std::string read(const std::filesystem::path& path) {
        std::ostringstream contents;
        contents << std::ifstream(path, std::ios::binary).rdbuf();
        return contents.str();
    }
    static void write(const std::filesystem::path& path, const std::string& contents) {
        std::ofstream(path, std::ios::binary) << contents;
    }
};

}  // namespace vrx::cli
