#include "model/vocabulary.h"

#include <gtest/gtest.h>

#include "files/temp_folder.h"
#include "model/program_words.h"

namespace vrx {
namespace {

TEST(Vocabulary, SettingTextsAreWhatTheGridShows) {
    const NameList instruments = {"1 - Piano"};
    struct Case {
        int function;
        int setting;
        const char* text;
    };
    const Case cases[] = {
        {kUnassigned, 0, ""},          {kRomanticStop, 20, ""},
        {kMidiStop, 2, "IN3 (Choir)"}, {kProgramChange, 0, "1 - Piano"},
        {kProgramChange, 1, ""},  // the name file was shorter
        {kNoteOnOff, 0, "0 (C-2)"},    {kNoteOnOff, 61, "61 (C#3)"},
        {kNoteOnOff, 200, ""},         {kTq450Trem, 5, "5"},
        {kNoteOnOff, -1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(settingText(c.function, c.setting, instruments), c.text)
            << functionNames()[c.function] << " " << c.setting;
    }
}

TEST(Vocabulary, InstrumentFileLinesBecomeNumberedEntries) {
    testing::TempFolder folder;
    std::vector<std::string> logged;
    const auto log = [&](std::string_view line) { logged.emplace_back(line); };
    struct Case {
        std::string contents;
        NameList names;
    };
    const Case cases[] = {
        {"Piano\n\nOrgan \n", {"1 - Piano", "2 - ", "3 - Organ "}},
        {"Piano\r\nOrgan\r\n", {"1 - Piano", "2 - Organ"}},
        {"Piano\rOrgan\r", {"1 - Piano", "2 - Organ"}},
        {"\xEF\xBB\xBF\xEF\xBB\xBFPiano\nOrgan", {"1 - Piano", "2 - Organ"}},
    };
    for (const auto& c : cases) {
        testing::writeBytes(folder / "genmidi.txt", c.contents);
        EXPECT_EQ(loadInstrumentNames((folder / "genmidi.txt").string(), log), c.names)
            << c.contents;
        EXPECT_TRUE(logged.empty());
    }

    // The Setting column of a Program Change offers only the 128 MIDI programs.
    std::string longFile;
    for (int i = 1; i <= 200; ++i) {
        longFile += "Sound " + std::to_string(i) + "\n";
    }
    testing::writeBytes(folder / "genmidi.txt", longFile);
    const auto names = loadInstrumentNames((folder / "genmidi.txt").string());
    ASSERT_EQ(names.size(), 200u);
    EXPECT_EQ(names[199], "200 - Sound 200");
    EXPECT_EQ(settingNames(kProgramChange, names), NameList(names.begin(), names.begin() + 128));

    const auto numbers = loadInstrumentNames((folder / "absent").string(), log);
    EXPECT_EQ(numbers.size(), 128u);
    EXPECT_EQ(numbers.back(), " 128");
    EXPECT_EQ(logged, std::vector<std::string>{"Error in patch loading."});
}

TEST(ProgramData, PinsAreLabelledWithTheirBoardAndPin) {
    const std::pair<int, const char*> cases[] = {
        {1, "Pin 1 (IN1 62)"},   {4, "Pin 4 (IN2 62)"},   {9, "Pin 9 (IN3 64)"},
        {10, "Pin 10 (IN4 33)"}, {41, "Pin 41 (IN4 64)"}, {42, "Pin 42 (IN5 1)"},
    };
    for (const auto& [row, label] : cases) {
        EXPECT_EQ(pinLabel(row), label);
    }
}

}  // namespace
}  // namespace vrx
