#include "files/program_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "files/atomic_file.h"
#include "files/log_file.h"
#include "placement_fixtures.h"
#include "temp_folder.h"

namespace vrx {
namespace {

using testing::kDesigned;
using testing::kFullHd;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

constexpr std::string_view kDocuments = "/home/organist/Documents";

class ProgramSettingsTest : public ::testing::Test {
protected:
    // What start-up reads from a settings file holding `contents`.
    ProgramSettings startWith(std::string_view contents) {
        writeBytes(file_, contents);
        return start();
    }
    ProgramSettings start() {
        ProgramSettings settings(file_);
        settings.readLogSwitch();
        settings.readSettings(std::string(kDocuments));
        return settings;
    }
    TempFolder folder_;
    std::filesystem::path file_ = folder_ / "VrxConfig.ini";
};

TEST_F(ProgramSettingsTest, SectionNamesMustMatchExactlyAfterEnumeration) {
    struct Case {
        std::string_view file;
        std::int16_t in;
        std::int16_t out;
        std::string lastDirectory;
    };
    const Case cases[] = {
        {"[MIDI I/O]\nInput=2\nOutput=3\n[Preferences]\nPath=/music/\n", 2, 3, "/music/"},
        {"[midi i/o]\nInput=2\nOutput=3\n[preferences]\nPath=/music/\n", 0, 0,
         std::string(kDocuments)},
        {"[MIDI I/O]\nINPUT=2\noutput=3\n[Preferences]\nPATH=/music/\n", 0, 0,
         std::string(kDocuments)},
        {"[ MIDI I/O ]\r\nInput = 4 \r\nOutput=5\r\n", 4, 5, std::string(kDocuments)},
        {"[MIDI I/O]\nInput=2abc\nOutput=no\n", 2, 0, std::string(kDocuments)},
        {"[MIDI I/O]\nInput=2.5\nOutput=3.5\n", 2, 4, std::string(kDocuments)},
        {"[MIDI I/O]\nInput=99999\nOutput=-1\n", 0, -1, std::string(kDocuments)},
        {"[Preferences]\nPath=\n", 0, 0, ""},
        {"\xEF\xBB\xBF[MIDI I/O]\r\nInput=2\r\nOutput=3\r\n", 2, 3, std::string(kDocuments)},
        {"[MIDI I/O]\rInput=2\rOutput=3\r[Preferences]\rPath=/cr/\r", 2, 3, "/cr/"},
    };
    for (const auto& c : cases) {
        const auto settings = startWith(c.file);
        EXPECT_EQ(settings.midiInDevice(), c.in) << c.file;
        EXPECT_EQ(settings.midiOutDevice(), c.out) << c.file;
        EXPECT_EQ(settings.lastDirectory(), c.lastDirectory) << c.file;
    }
}

TEST_F(ProgramSettingsTest, OnlyLogEqualToOneInQuillmoreTurnsTheLogOn) {
    struct Case {
        std::string_view file;
        bool logEnabled;
    };
    const Case cases[] = {
        {"[Quillmore]\nLog=1\n", true},
        {"[Quillmore]\r\nLog=1\r\n", true},
        {"[Other]\nx=y\n[Quillmore]\nDebug=0\nLog=1\n", true},
        {"[Quillmore]\nLog=01\n", false},
        {"[Quillmore]\nLog=yes\n", false},
        {"[Quillmore]\nLog=2\n", false},
        {"[Quillmore]\nLOG=1\n", false},
        {"[quillmore]\nLog=1\n", false},
        {"[Quillmore]\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(startWith(c.file).logEnabled(), c.logEnabled) << c.file;
    }
}

TEST_F(ProgramSettingsTest, MissingOrUnusableFileGivesTheDefaults) {
    std::string binary;
    for (int i = 0; i < 70000; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    for (const std::string& contents :
         {std::string("[MIDI I/O"), std::string("Input=2\nOutput=3\n"), binary,
          "[MIDI I/O]\nInput=2\nOutput=3\n" + std::string(2 * 1024 * 1024, ' ')}) {
        const auto settings = startWith(contents);
        EXPECT_EQ(settings.midiInDevice(), 0);
        EXPECT_EQ(settings.midiOutDevice(), 0);
        EXPECT_FALSE(settings.logEnabled());
        EXPECT_EQ(settings.lastDirectory(), kDocuments);
    }
    std::filesystem::remove(file_);
    const auto settings = start();
    EXPECT_EQ(settings.midiInDevice(), 0);
    EXPECT_EQ(settings.lastDirectory(), kDocuments);
}

TEST_F(ProgramSettingsTest, ExitOnAFreshMachineWritesEverySetting) {
    auto settings = start();
    settings.setMidiInDevice(1);
    settings.setMidiOutDevice(2);
    settings.setLastDirectory("/home/organist/vrx/");
    EXPECT_TRUE(settings.writeSettings({1500, 900, 12000, 7000, WindowState::kNormal}));
    EXPECT_EQ(readBytes(file_),
              "[VRXConfig]\r\nMaximised=0\r\nLeft=1500\r\nTop=900\r\nWidth=12000\r\n"
              "Height=7000\r\n\r\n[MIDI I/O]\r\nInput=1\r\nOutput=2\r\n\r\n"
              "[Preferences]\r\nPath=/home/organist/vrx/\r\n");
}

TEST_F(ProgramSettingsTest, ByteOrderMarkAndLoneReturnsDoNotAddASecondSection) {
    for (const std::string_view before :
         {"\xEF\xBB\xBF[MIDI I/O]\r\nInput=2\r\nOutput=3\r\n", "[MIDI I/O]\rInput=2\rOutput=3\r"}) {
        auto settings = startWith(before);
        settings.setMidiInDevice(4);
        EXPECT_TRUE(settings.writeSettings({1500, 900, 12000, 7000, WindowState::kNormal}));
        const auto after = readBytes(file_);
        EXPECT_EQ(after.find("[MIDI I/O]"), after.rfind("[MIDI I/O]")) << after;
        EXPECT_NE(after.find("Input=4"), std::string::npos) << after;
    }
}

TEST_F(ProgramSettingsTest, SettingsFileReachedThroughALinkStaysALink) {
    const auto real = folder_ / "real.ini";
    writeBytes(real, "[MIDI I/O]\nInput=2\nOutput=3\n");
    std::filesystem::create_symlink(real, file_);
    auto settings = start();
    settings.setMidiInDevice(6);
    EXPECT_TRUE(settings.writeSettings({1500, 900, 12000, 7000, WindowState::kNormal}));
    EXPECT_TRUE(std::filesystem::is_symlink(file_));
    EXPECT_NE(readBytes(real).find("Input=6"), std::string::npos);
}

TEST_F(ProgramSettingsTest, DevicesAreWrittenOnlyWhenBothAreChosen) {
    constexpr std::string_view before = "[MIDI I/O]\nInput=2\nOutput=0\n";
    auto settings = startWith(before);
    EXPECT_EQ(settings.midiInDevice(), 2);
    EXPECT_EQ(settings.midiOutDevice(), 0);
    settings.setMidiInDevice(5);
    settings.setLastDirectory("/x/");
    EXPECT_TRUE(settings.writeSettings({1500, 900, 12000, 7000, WindowState::kMinimised}));
    EXPECT_EQ(readBytes(file_), std::string(before) + "\n[Preferences]\nPath=/x/\n");

    settings.setMidiOutDevice(3);
    EXPECT_TRUE(settings.writeSettings({1500, 900, 12000, 7000, WindowState::kMinimised}));
    EXPECT_EQ(readBytes(file_), "[MIDI I/O]\nInput=5\nOutput=3\n\n[Preferences]\nPath=/x/\n");
}

TEST_F(ProgramSettingsTest, ARunKeepsEverythingElseInTheFile) {
    constexpr std::string_view before =
        "; VRXConfig settings\r\n"
        "[VRXConfig]\r\n"
        "Maximised=0\r\n"
        "Left=1500\r\n"
        "Top=900\r\n"
        "Width=12000\r\n"
        "Height=7000\r\n"
        "Toolbar=top\r\n"
        "\r\n"
        "[Quillmore]\r\n"
        "Log=0\r\n"
        "\r\n"
        "[MIDI I/O]\r\n"
        "Input=2\r\n"
        "Output=3\r\n"
        "Through=1\r\n"
        "\r\n"
        "[Preferences]\r\n"
        "Path=/music/\r\n";
    auto settings = startWith(before);
    const auto placed = settings.loadMainWindowPlacement(kDesigned, kFullHd);
    EXPECT_EQ(placed, (WindowPlacement{1500, 900, 12000, 7000}));
    settings.writeSettings({1500, 900, 12000, 7000, WindowState::kNormal});
    EXPECT_EQ(readBytes(file_), before) << "the same settings come back byte for byte";

    settings.setMidiOutDevice(4);
    settings.setLastDirectory("/scores/");
    settings.writeSettings({60, 60, 9000, 8800, WindowState::kMaximised});
    auto expected = std::string(before);
    expected.replace(expected.find("Maximised=0"), 11, "Maximised=1");
    expected.replace(expected.find("Output=3"), 8, "Output=4");
    expected.replace(expected.find("Path=/music/"), 12, "Path=/scores/");
    EXPECT_EQ(readBytes(file_), expected)
        << "a maximised window leaves Left, Top, Width and Height as they were";
}

TEST_F(ProgramSettingsTest, VerifyAfterWritingIsOnUntilTurnedOffAndStaysOff) {
    auto settings = startWith("[Preferences]\nPath=/x/\n");
    EXPECT_TRUE(settings.verifyAfterWriting());
    settings.setVerifyAfterWriting(false);
    settings.writeSettings({1, 2, 9000, 6000, WindowState::kMinimised});
    EXPECT_EQ(readBytes(file_), "[Preferences]\nPath=/x/\nVerifyAfterWriting=0\n");

    auto next = start();
    EXPECT_FALSE(next.verifyAfterWriting());
    next.setVerifyAfterWriting(true);
    next.writeSettings({1, 2, 9000, 6000, WindowState::kMinimised});
    EXPECT_TRUE(start().verifyAfterWriting());
    EXPECT_EQ(readBytes(file_), "[Preferences]\nPath=/x/\nVerifyAfterWriting=1\n");
}

TEST_F(ProgramSettingsTest, MainWindowKeepsAnEnlargedHeightButNeverLessThanDesigned) {
    auto settings = startWith("[VRXConfig]\nMaximised=1\nLeft=-900\nTop=300\nWidth=100\n");
    EXPECT_EQ(settings.loadMainWindowPlacement(kDesigned, kFullHd),
              (WindowPlacement{60, 300, 9000, 6000, WindowState::kMaximised}));
    settings = startWith("[VRXConfig]\nLeft=900\nTop=300\nWidth=9000\nHeight=9500\n");
    EXPECT_EQ(settings.loadMainWindowPlacement(kDesigned, kFullHd),
              (WindowPlacement{900, 300, 9000, 9500}));
}

std::filesystem::path stoppedAt;
Status stopBeforeRename(const std::filesystem::path& temporary) {
    stoppedAt = temporary;
    return Status::failure("simulated crash");
}

TEST_F(ProgramSettingsTest, FailedExitWriteLeavesTheOldFile) {
    constexpr std::string_view before = "[MIDI I/O]\r\nInput=2\r\nOutput=3\r\n";
    auto settings = startWith(before);
    settings.setLastDirectory("/new/");
    setBeforeRenameHookForTesting(stopBeforeRename);
    EXPECT_FALSE(settings.writeSettings({1, 2, 9000, 6000, WindowState::kNormal}));
    setBeforeRenameHookForTesting(nullptr);
    EXPECT_FALSE(stoppedAt.empty());
    EXPECT_EQ(readBytes(file_), before);

    const std::string huge(20 * 1024 * 1024, 'x');
    writeBytes(file_, huge);
    EXPECT_FALSE(settings.writeSettings({1, 2, 9000, 6000, WindowState::kNormal}));
    EXPECT_EQ(std::filesystem::file_size(file_), huge.size()) << "a file not read is not replaced";
}

TEST_F(ProgramSettingsTest, EachRunWithTheLogOnAppendsOneStartLine) {
    const auto logPath = folder_ / "VrxConfig.log";
    std::tm when{};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 9;
    when.tm_hour = 14;
    when.tm_min = 5;
    when.tm_sec = 7;
    const auto startLine = logStartLine(when);
    EXPECT_EQ(startLine, "VRX Config: start at 03/09/24 14:05:07") << "in the C locale";

    auto run = [&] {
        const auto settings = start();
        const LogFile log(logPath, settings.logEnabled());
        log.writeLog(logStartLine(when));
    };
    writeBytes(file_, "[MIDI I/O]\nInput=1\n");
    run();
    EXPECT_FALSE(std::filesystem::exists(logPath)) << "no log without the switch";

    writeBytes(file_, "[Quillmore]\nLog=1\n");
    run();
    run();
    EXPECT_EQ(readBytes(logPath), startLine + "\r\n" + startLine + "\r\n");

    const LogFile log(logPath, true);
    log.writeLog(kLogPatchLoadingError);
    EXPECT_EQ(readBytes(logPath),
              startLine + "\r\n" + startLine + "\r\nError in patch loading.\r\n");
    const LogFile nowhere(folder_ / "missing" / "VrxConfig.log", true);
    nowhere.writeLog(kLogNoMidiCard);  // fails quietly
}

}  // namespace
}  // namespace vrx
