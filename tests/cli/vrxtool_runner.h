#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/bytes.h"

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

    // The process id keeps two runs of the suite on one machine out of each other's way.
    std::filesystem::path folder_ =
        std::filesystem::path(testing::TempDir()) /
        (std::string("vrxtool-") + std::to_string(getpid()) + "-" +
         testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
         testing::UnitTest::GetInstance()->current_test_info()->name());

    void SetUp() override {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static std::filesystem::path fixture(const std::string& name) {
        return std::filesystem::path(VRX_FIXTURES_DIR) / name;
    }
    std::filesystem::path file(const std::string& name) const { return folder_ / name; }

    Run vrxtool(const std::vector<std::string>& args) const {
        std::string command = "cd '" + folder_.string() + "' && '" + VRX_BIN_DIR "/vrxtool'";
        for (const auto& arg : args) {
            command += " '" + arg + "'";
        }
        command += " >stdout.txt 2>stderr.txt";
        Run run;
        const auto start = std::chrono::steady_clock::now();
        const int raw = std::system(command.c_str());
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = read(file("stdout.txt"));
        run.err = read(file("stderr.txt"));
        std::filesystem::remove(file("stdout.txt"));
        std::filesystem::remove(file("stderr.txt"));
        return run;
    }

    static std::string read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream contents;
        contents << in.rdbuf();
        return contents.str();
    }
    static Bytes readBytes(const std::filesystem::path& path) {
        const auto text = read(path);
        return Bytes(text.begin(), text.end());
    }
    static void write(const std::filesystem::path& path, const std::string& contents) {
        std::ofstream(path, std::ios::binary) << contents;
    }
    static void write(const std::filesystem::path& path, ByteView bytes) {
        write(path, std::string(bytes.begin(), bytes.end()));
    }
};

}  // namespace vrx::cli
