#include "files/program_settings.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

#include "files/log_file.h"
#include "files/recent_files.h"
#include "placement_fixtures.h"
#include "temp_folder.h"

namespace vrx {
namespace {

using testing::readBytes;
using testing::writeBytes;

const std::string kDocuments = "/home/organist/Documents";

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
        settings.readSettings(kDocuments);
        return settings;
    }
    static bool writeOnExit(ProgramSettings& settings,
                            WindowState state = WindowState::kMinimised) {
        return settings.writeSettings({1500, 900, 12000, 7000, state});
    }
    testing::TempFolder folder_;
    std::filesystem::path file_ = folder_ / "VrxConfig.ini";
};

// Section and key names are enumerated and must match exactly; the numbers read are the
// number each value starts with, rounded.
TEST_F(ProgramSettingsTest, StartReadsOnlyExactlyNamedSettings) {
    std::string binary;
    for (int i = 0; i < 70000; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    struct Case {
        std::string file;
        std::int16_t in;
        std::int16_t out;
        std::string lastDirectory;
        bool log;
    };
    const Case cases[] = {
        {"[MIDI I/O]\nInput=2\nOutput=3\n[Preferences]\nPath=/music/\n", 2, 3, "/music/", false},
        {"[midi i/o]\nInput=2\nOutput=3\n[preferences]\nPath=/music/\n", 0, 0, kDocuments, false},
        {"[MIDI I/O]\nINPUT=2\noutput=3\n[Preferences]\nPATH=/music/\n", 0, 0, kDocuments, false},
        {"[ MIDI I/O ]\r\nInput = 4 \r\nOutput=5\r\n", 4, 5, kDocuments, false},
        {"[MIDI I/O]\nInput=2abc\nOutput=no\n", 2, 0, kDocuments, false},
        {"[MIDI I/O]\nInput=2.5\nOutput=3.5\n", 2, 4, kDocuments, false},
        {"[MIDI I/O]\nInput=99999\nOutput=-1\n", 0, -1, kDocuments, false},
        {"[Preferences]\nPath=\n", 0, 0, "", false},
        {"\xEF\xBB\xBF[MIDI I/O]\r\nInput=2\r\nOutput=3\r\n", 2, 3, kDocuments, false},
        {"[MIDI I/O]\rInput=2\rOutput=3\r[Preferences]\rPath=/cr/\r", 2, 3, "/cr/", false},
        // Only Log=1 in [Quillmore] turns the log on.
        {"[Other]\nx=y\n[Quillmore]\r\nDebug=0\r\nLog=1\r\n", 0, 0, kDocuments, true},
        {"[Quillmore]\nLog=01\n", 0, 0, kDocuments, false},
        {"[quillmore]\nLog=1\n", 0, 0, kDocuments, false},
        // A file that cannot be used gives the defaults.
        {binary, 0, 0, kDocuments, false},
        {std::string(100000, '['), 0, 0, kDocuments, false},
        {"[Quillmore]\nLog=1\n" + std::string(2 * 1024 * 1024, ' '), 0, 0, kDocuments, false},
    };
    for (const auto& c : cases) {
        const auto settings = startWith(c.file);
        EXPECT_EQ(std::tuple(settings.midiInDevice(), settings.midiOutDevice(),
                             settings.lastDirectory(), settings.logEnabled()),
                  std::tuple(c.in, c.out, c.lastDirectory, c.log))
            << c.file.substr(0, 40);
    }
    std::filesystem::remove(file_);
    EXPECT_EQ(start().lastDirectory(), kDocuments);
}

TEST_F(ProgramSettingsTest, ExitWritesEverySettingAndKeepsEverythingElseInTheFile) {
    auto settings = start();
    settings.setMidiInDevice(1);
    settings.setMidiOutDevice(2);
    settings.setLastDirectory("/home/organist/vrx/");
    EXPECT_TRUE(writeOnExit(settings, WindowState::kNormal));
    EXPECT_EQ(readBytes(file_),
              "[VRXConfig]\r\nMaximised=0\r\nLeft=1500\r\nTop=900\r\nWidth=12000\r\n"
              "Height=7000\r\n\r\n[MIDI I/O]\r\nInput=1\r\nOutput=2\r\n\r\n"
              "[Preferences]\r\nPath=/home/organist/vrx/\r\n");

    // A later run keeps everything else in the file.
    constexpr std::string_view before =
        "; VRXConfig settings\r\n"
        "[VRXConfig]\r\nMaximised=0\r\nLeft=1500\r\nTop=900\r\nWidth=12000\r\nHeight=7000\r\n"
        "Toolbar=top\r\n\r\n"
        "[Quillmore]\r\nLog=0\r\n\r\n"
        "[MIDI I/O]\r\nInput=2\r\nOutput=3\r\nThrough=1\r\n\r\n"
        "[Preferences]\r\nPath=/music/\r\n";
    settings = startWith(before);
    EXPECT_EQ(settings.loadMainWindowPlacement(testing::kDesigned, testing::kFullHd),
              (WindowPlacement{1500, 900, 12000, 7000}));
    writeOnExit(settings, WindowState::kNormal);
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
    // Restored, the main window is never smaller than designed.
    EXPECT_EQ(startWith("[VRXConfig]\nWidth=100\n")
                  .loadMainWindowPlacement(testing::kDesigned, testing::kFullHd),
              testing::kDesigned);
}

TEST_F(ProgramSettingsTest, DevicesAndTheVerifySwitchAreWrittenOnlyWhenTheyMeanSomething) {
    constexpr std::string_view before =
        "[MIDI I/O]\nInput=2\nOutput=0\nInputName=USB MIDI 1\nOutputName=USB MIDI 2\n";
    auto settings = startWith(before);
    EXPECT_EQ(settings.midiInDeviceName(), "USB MIDI 1");
    EXPECT_TRUE(settings.verifyAfterWriting());
    // With only one device chosen the stored pair stays.
    settings.setMidiInDevice(5);
    settings.setLastDirectory("/x/");
    EXPECT_TRUE(writeOnExit(settings));
    EXPECT_EQ(readBytes(file_), std::string(before) + "\n[Preferences]\nPath=/x/\n");

    settings.setMidiOutDevice(3);
    settings.setMidiInDeviceName("VRX Simulator");
    settings.setVerifyAfterWriting(false);
    EXPECT_TRUE(writeOnExit(settings));
    EXPECT_EQ(readBytes(file_),
              "[MIDI I/O]\nInput=5\nOutput=3\nInputName=VRX Simulator\nOutputName=USB MIDI 2\n\n"
              "[Preferences]\nPath=/x/\nVerifyAfterWriting=0\n");

    auto next = start();
    EXPECT_FALSE(next.verifyAfterWriting());
    next.setVerifyAfterWriting(true);
    writeOnExit(next);
    EXPECT_TRUE(start().verifyAfterWriting());
    EXPECT_NE(readBytes(file_).find("VerifyAfterWriting=1\n"), std::string::npos);

    // A file too large to read is not replaced, and the exit says so.
    const std::string huge(20 * 1024 * 1024, 'x');
    writeBytes(file_, huge);
    EXPECT_FALSE(writeOnExit(next));
    EXPECT_EQ(std::filesystem::file_size(file_), huge.size());
}

TEST_F(ProgramSettingsTest, EachRunWithTheLogOnAppendsOneStartLine) {
    std::tm when{};
    std::istringstream("2024-03-09 14:05:07") >> std::get_time(&when, "%Y-%m-%d %H:%M:%S");
    const auto line = logStartLine(when);
    EXPECT_EQ(line, "VRX Config: start at 03/09/24 14:05:07") << "in the C locale";

    const auto logPath = folder_ / "VrxConfig.log";
    for (const char* file : {"[MIDI I/O]\nInput=1\n", "[Quillmore]\nLog=1\n", ""}) {
        writeBytes(file_, file);
        LogFile(logPath, start().logEnabled()).writeLog(line);
    }
    LogFile(logPath, true).writeLog(kLogPatchLoadingError);
    EXPECT_EQ(readBytes(logPath), line + "\r\nError in patch loading.\r\n");
    LogFile(folder_ / "missing" / "VrxConfig.log", true).writeLog(kLogNoMidiCard);  // quietly
}

TEST_F(ProgramSettingsTest, RecentFilesKeepTheNewestSixInASectionOfTheirOwn) {
    constexpr std::string_view before =
        "[Preferences]\nPath=/x/\n\n"
        "[Recent Files]\nFile1=/organ/b.vrx\nFile2=/organ/a.vrx\nFile9=/ignored.vrx\n\n"
        "[Help]\nManual=file:///srv/manual.pdf\n";
    auto settings = startWith(before);
    EXPECT_EQ(settings.recentFiles(), (std::vector<std::string>{"/organ/b.vrx", "/organ/a.vrx"}));
    EXPECT_EQ(settings.manualAddress(), "file:///srv/manual.pdf");
    writeOnExit(settings);
    EXPECT_EQ(readBytes(file_), before) << "an unchanged list is not rewritten";

    for (const char* path : {"/organ/a.vrx", "/c.vrx", "/d.vrx", "/e.vrx", "/f.vrx", "/g.vrx"}) {
        settings.addRecentFile(path);
    }
    writeOnExit(settings);
    EXPECT_EQ(readBytes(file_),
              "[Preferences]\nPath=/x/\n\n"
              "[Help]\nManual=file:///srv/manual.pdf\n\n"
              "[Recent Files]\nFile1=/g.vrx\nFile2=/f.vrx\nFile3=/e.vrx\nFile4=/d.vrx\n"
              "File5=/c.vrx\nFile6=/organ/a.vrx\n")
        << "the file opened again moved up, the oldest dropped off";
    EXPECT_EQ(start().recentFiles().size(), 6u);
    EXPECT_EQ(withRecentFile({"/b", "/a", "/c"}, "/a"),
              (std::vector<std::string>{"/a", "/b", "/c"}));
}

}  // namespace
}  // namespace vrx
