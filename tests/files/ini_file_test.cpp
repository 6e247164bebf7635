#include "files/ini_file.h"

#include <gtest/gtest.h>

#include <limits>

#include "files/number_text.h"
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

TEST(IniFile, ValuesAreStoredWholeCleanedOfLineBreaksAndReadBackCutAt254) {
    TempFolder folder;
    auto ini = iniAt(folder / "VrxConfig.ini", "Preferences", "Path");
    ini.setDefault("FAIL  ");
    EXPECT_EQ(ini.Value(), "FAIL") << "the default without its trailing blanks";
    const std::string longPath = "/" + std::string(299, 'd');
    ini.setValue(longPath);
    EXPECT_TRUE(ini.Success());
    EXPECT_NE(readBytes(folder / "VrxConfig.ini").find(longPath), std::string::npos);
    EXPECT_EQ(ini.Value(), longPath.substr(0, 254));

    ini.setValue(std::string("/ho\0me/\0", 8));
    EXPECT_EQ(ini.Value(), "/home/");
    ini.setValue("/a\r\n[Injected]\nx=1");
    EXPECT_EQ(readBytes(folder / "VrxConfig.ini"), "[Preferences]\r\nPath=/a[Injected]x=1\r\n");

    ini.setPath(folder / "no such folder" / "VrxConfig.ini");
    EXPECT_EQ(ini.Value(), "FAIL");
    EXPECT_TRUE(ini.Success()) << "reads never change the result";
    auto folderAsFile = iniAt(folder.path(), "MIDI I/O", "Input");
    EXPECT_EQ(folderAsFile.Value(), "");
    folderAsFile.setValue("1");
    EXPECT_FALSE(folderAsFile.Success());
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
    const auto names = ini.EnumerateAllSections();
    ASSERT_EQ(names.size(), 512u);  // 511 whole names of 15 characters and their zeros
    EXPECT_EQ(names[510], "Section no 1510");
    EXPECT_EQ(names[511], "Section no 151");
    EXPECT_EQ(ini.INISection(), std::string("Key0\0", 5));
}

TEST(IniFile, DeletesKeysAndEverySectionOfANameAndKeepsTheRest) {
    TempFolder folder;
    const auto file = folder / "VrxConfig.ini";
    writeBytes(file, "[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n[b]\nv=5\n");
    auto ini = iniAt(file, "a", "X");
    ini.DeleteKey();
    ini.setSection("b");
    ini.DeleteSection();
    EXPECT_TRUE(ini.Success());
    ini.setSection("C");
    ini.setINISection("ignored: the section goes");
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(readBytes(file), "[A]\ny=2\n");
}

constexpr std::int32_t kFallback = -77;

TEST(NumberText, WholeNumbersRoundHalvesToEvenAndLeadingNumbersStopAtTheText) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const std::pair<const char*, std::int32_t> cases[] = {
        {"12", 12},
        {"  7  ", 7},
        {"-15", -15},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"2.5000001", 3},
        {".5", 0},
        {"1e3", 1000},
        {"12.75E-1", 1},
        {"2147483647", kMax},
        {"-2147483648.5", kMin},
        {"2147483647.4", kMax},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(IniFile::CLngDefault(text, kFallback), expected) << text;
    }
    for (const char* text :
         {"", " ", "FAIL", "12abc", "1 2", "0x10", "&H10", "inf", "nan", "-", ".", "1e", "1e999",
          "2147483647.5", "2147483648", "-2147483649", "99999999999999999999"}) {
        EXPECT_EQ(IniFile::CLngDefault(text, kFallback), kFallback) << '"' << text << '"';
    }
    // Settings and the program number prompt read the number a text starts with, or 0.
    const std::pair<const char*, double> leading[] = {
        {"2", 2},     {"  3", 3}, {"2abc", 2}, {"-4 ", -4}, {"1.5x", 1.5},  {"2e", 2},
        {"2e1z", 20}, {"abc", 0}, {"", 0},     {"+", 0},    {".25.5", .25}, {"1e999", 0},
    };
    for (const auto& [text, expected] : leading) {
        EXPECT_EQ(leadingNumber(text), expected) << text;
    }
}

}  // namespace
}  // namespace vrx
