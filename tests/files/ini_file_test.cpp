#include "files/ini_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "files/atomic_file.h"
#include "files/profile_file.h"
#include "temp_folder.h"

namespace vrx {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

IniFile iniAt(const std::filesystem::path& file, std::string section, std::string key = {}) {
    IniFile ini;
    ini.setPath(file);
    ini.setSection(std::move(section));
    ini.setKey(std::move(key));
    return ini;
}

std::size_t filesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

TEST(IniFile, ValuesReadBackAreCutAt254Characters) {
    TempFolder folder;
    auto ini = iniAt(folder / "VrxConfig.ini", "Preferences", "Path");
    const std::string longPath = "/" + std::string(299, 'd');
    ini.setValue(longPath);
    EXPECT_TRUE(ini.Success());
    EXPECT_NE(readBytes(folder / "VrxConfig.ini").find(longPath), std::string::npos)
        << "the whole value is stored";
    EXPECT_EQ(ini.Value(), longPath.substr(0, 254));
}

TEST(IniFile, NameListsAreCutAt8192CharactersLessTheClosingZeros) {
    TempFolder folder;
    std::string file;
    for (int i = 0; i < 1000; ++i) {
        file +=
            "[Section no " + std::to_string(1000 + i) + "]\r\nKey" + std::to_string(i) + "=1\r\n";
    }
    writeBytes(folder / "big.ini", file);
    const auto ini = iniAt(folder / "big.ini", "section no 1000");
    const auto list = ini.Sections();
    ASSERT_EQ(list.size(), 8190u);
    EXPECT_EQ(list.substr(0, 16), std::string("Section no 1000\0", 16));
    const auto names = ini.EnumerateAllSections();
    ASSERT_EQ(names.size(), 512u);  // 511 whole names of 15 characters and their zeros
    EXPECT_EQ(names[510], "Section no 1510");
    EXPECT_EQ(names[511], "Section no 151");
    EXPECT_EQ(ini.INISection(), std::string("Key0\0", 5));
    EXPECT_EQ(ini.EnumerateCurrentSection(), std::vector<std::string>{"Key0"});
}

TEST(IniFile, CharacterZeroAndLineBreaksAreTakenOutOfWrittenValues) {
    TempFolder folder;
    auto ini = iniAt(folder / "VrxConfig.ini", "Preferences", "Path");
    ini.setValue(std::string("/ho\0me/\0", 8));
    EXPECT_EQ(ini.Value(), "/home/");
    ini.setValue("/a\r\n[Injected]\nx=1");
    EXPECT_EQ(ini.EnumerateAllSections(), std::vector<std::string>{"Preferences"});
    EXPECT_EQ(readBytes(folder / "VrxConfig.ini"), "[Preferences]\r\nPath=/a[Injected]x=1\r\n");
}

TEST(IniFile, ReadsGiveTheDefaultWithoutTrailingBlanksAndKeepTheLastResult) {
    TempFolder folder;
    auto ini = iniAt(folder / "VrxConfig.ini", "VRXConfig", "Left");
    EXPECT_EQ(ini.LastReturnCode(), 0);
    ini.setDefault("FAIL  ");
    EXPECT_EQ(ini.Value(), "FAIL");
    ini.setValue("15");
    EXPECT_EQ(ini.LastReturnCode(), 1);
    ini.setPath(folder / "no such folder" / "VrxConfig.ini");
    EXPECT_EQ(ini.Value(), "FAIL");
    EXPECT_TRUE(ini.Success()) << "reads never change the result";
    ini.setValue("16");
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_FALSE(ini.Success());
}

TEST(IniFile, DeletesKeysAndEverySectionOfANameAndKeepsTheRest) {
    TempFolder folder;
    const auto file = folder / "VrxConfig.ini";
    writeBytes(file, "[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n[b]\nv=5\n");
    auto ini = iniAt(file, "a", "X");
    ini.DeleteKey();
    EXPECT_TRUE(ini.Success());
    ini.setSection("b");
    ini.DeleteSection();
    EXPECT_TRUE(ini.Success());
    ini.setSection("C");
    ini.setINISection("ignored: the section goes");
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(readBytes(file), "[A]\ny=2\n");
}

TEST(IniFile, BadFilesReadAsEmptyAndAreNotWrittenOver) {
    TempFolder folder;
    std::mt19937 random(7);
    std::string binary(64 * 1024, '\0');
    for (auto& c : binary) {
        c = static_cast<char>(random());
    }
    const std::string huge(30 * 1024 * 1024, '[');
    struct Case {
        const char* name;
        std::string contents;
        bool writable;
    };
    const Case cases[] = {
        {"binary", binary, true},
        {"brackets", std::string(100000, '['), true},
        {"huge", huge, false},
    };
    for (const auto& c : cases) {
        const auto file = folder / c.name;
        writeBytes(file, c.contents);
        auto ini = iniAt(file, "MIDI I/O", "Input");
        ini.setDefault("none");
        EXPECT_EQ(ini.Value(), "none") << c.name;
        EXPECT_TRUE(ini.EnumerateCurrentSection().empty()) << c.name;
        ini.setValue("2");
        EXPECT_EQ(ini.Success(), c.writable) << c.name;
        if (!c.writable) {
            EXPECT_EQ(std::filesystem::file_size(file), c.contents.size()) << c.name;
        }
    }
    auto folderAsFile = iniAt(folder.path(), "MIDI I/O", "Input");
    EXPECT_EQ(folderAsFile.Value(), "");
    EXPECT_TRUE(folderAsFile.Sections().empty());
    folderAsFile.setValue("1");
    EXPECT_FALSE(folderAsFile.Success());
}

// The write is stopped after the temporary file is complete and before the rename, as a
// crash at that moment would.
TEST(IniFile, WriteStoppedBeforeTheRenameLeavesTheOldFile) {
    TempFolder folder;
    const auto file = folder / "VrxConfig.ini";
    constexpr std::string_view old = "; keep me\r\n[MIDI I/O]\r\nInput=2\r\nOutput=3\r\n";
    writeBytes(file, old);
    auto ini = iniAt(file, "MIDI I/O", "Output");
    static std::filesystem::path temporaryFolder;
    setBeforeRenameHookForTesting([](const std::filesystem::path& temporary) {
        temporaryFolder = temporary.parent_path();
        return Status::failure("simulated crash");
    });
    ini.setValue("9");
    setBeforeRenameHookForTesting(nullptr);

    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_EQ(temporaryFolder, folder.path()) << "renamed within one file system";
    EXPECT_EQ(readBytes(file), old);
    EXPECT_EQ(filesIn(folder.path()), 1u) << "no temporary file is left behind";
    ini.setValue("9");
    EXPECT_EQ(readBytes(file), "; keep me\r\n[MIDI I/O]\r\nInput=2\r\nOutput=9\r\n");
}

}  // namespace
}  // namespace vrx
