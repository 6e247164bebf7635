#include "model/vocabulary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/program_data.h"

namespace vrx {
namespace {

TEST(Vocabulary, ListsHoldTheirEntriesInOrder) {
    EXPECT_EQ(functionNames().size(), 14u);
    EXPECT_EQ(functionNames()[0], "Unassigned");
    EXPECT_EQ(functionNames()[6], "MIDI Stop");
    EXPECT_EQ(functionNames()[13], "TQ-450 Cancel");
    EXPECT_EQ(controllerNames(), (NameList{"Volume (7)", "Expression (11)"}));
    EXPECT_EQ(keyboardNames(),
              (NameList{"None", "IN1 (Swell)", "IN2 (Great)", "IN3 (Choir)", "IN4 (Pedal)"}));
    EXPECT_EQ(analogInputNames(), (NameList{"None", "#1", "#2", "#3", "#4"}));
    EXPECT_EQ(tuningInputNames(), (NameList{"None", "#1", "#2", "#3", "#4", "#6"}));
    EXPECT_EQ(midiStopKeyboards(),
              (NameList{"IN1 (Swell)", "IN2 (Great)", "IN3 (Choir)", "IN4 (Pedal)"}));
    ASSERT_EQ(midiChannelNumbers().size(), 16u);
    EXPECT_EQ(midiChannelNumbers().front(), "1");
    EXPECT_EQ(midiChannelNumbers().back(), "16");
    EXPECT_EQ(tuningOptionCaptions().size(), 5u);
    EXPECT_EQ(tuningOptionCaptions()[3],
              "Enable sending of Universal Realtime SysEx - Master Fine Tuning");
}

TEST(Vocabulary, StopListsKeepTheirExactTextsAndCodes) {
    struct Case {
        int function;
        std::size_t count;
        std::size_t position;
        const char* text;
        std::uint8_t code;
    };
    // Spacing quirks included: the unit's lists were typed by hand.
    const Case cases[] = {
        {kRomanticStop, 20, 0, "00 - Contre Gamba 16' [P]", 0x00},
        {kRomanticStop, 20, 4, "06 - Cornopean 16' [A]", 0x06},
        {kRomanticStop, 20, 14, "11 - Quint Flute 2 2/3' [B]", 0x11},
        {kClassicStop, 20, 19, "2D - Flute Harmonique 8' [B]", 0x2D},
        {kAhlborn202Stop, 20, 13, "3B - Chimes   [A]", 0x3B},
        {kAhlborn202Stop, 20, 18, "40 - Corno di Bassetto 8' [B] ", 0x40},
        {kAhlborn202Stop, 20, 19, "41 - Clairon 4' [B] ", 0x41},
        {kAhlborn201Stop, 20, 9, "4B - Spitzflote 4' [A] ", 0x4B},
        {kAhlborn201Stop, 20, 12, "4E - Mixture IV [A] ", 0x4E},
        {kCommonAhlborn, 65, 2, "10 - B to A coupler", 0x10},
        {kCommonAhlborn, 65, 22, "8C - Ahlborn - Mem.B Gen. #6", 0x8C},
        {kCommonAhlborn, 65, 51, "EE - Crescendo Stage #10/ 9", 0xEE},
        {kCommonAhlborn, 65, 53, "F7 - Crescendo Stage #12/11", 0xF7},
        {kCommonAhlborn, 65, 64, "5F - SFZ control", 0x5F},
        {kTq450Stop, 84, 0, "Unit #1, Tab #1", 17},
        {kTq450Stop, 84, 35, "Unit #3, Tab #12", 60},
        {kTq450Stop, 84, 83, "Unit #7, Tab #12", 124},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(parameterList(c.function).size(), c.count);
        ASSERT_EQ(parameterCodes(c.function).size(), c.count);
        EXPECT_EQ(parameterList(c.function)[c.position], c.text);
        EXPECT_EQ(parameterCodes(c.function)[c.position], c.code);
    }
    for (int function : {kUnassigned, kMidiStop, kBankSelectMsb, kProgramChange, kNoteOnOff,
                         kTq450Trem, kTq450Cancel}) {
        EXPECT_TRUE(parameterCodes(function).empty()) << function;
    }
}

TEST(Vocabulary, TqStopCodesSkipTheUnusedTabs) {
    const auto& codes = parameterCodes(kTq450Stop);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 29), 0);  // unit 1 has no tab 13
    EXPECT_EQ(codes[11], 28);
    EXPECT_EQ(codes[12], 33);
}

TEST(Vocabulary, FindStopCodeTakesTheFirstTableThatHoldsTheCode) {
    struct Case {
        std::uint8_t code;
        std::optional<std::pair<int, int>> found;
    };
    const Case cases[] = {
        {0x10, std::pair{5, 2}},  {0x2E, std::pair{3, 0}},  {0x00, std::pair{1, 0}},
        {0x55, std::pair{4, 19}}, {0xFF, std::pair{5, 61}}, {0x5B, std::nullopt},
        {0x11, std::pair{1, 14}},  // also a TQ-450 code: only functions 1 to 5 are searched
        {0xF0, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto match = findStopCode(c.code);
        ASSERT_EQ(match.has_value(), c.found.has_value()) << int{c.code};
        if (match) {
            EXPECT_EQ(std::pair(match->function, match->position), *c.found) << int{c.code};
        }
    }
}

class InstrumentFile : public testing::Test {
protected:
    std::filesystem::path path_ =
        std::filesystem::path(testing::TempDir()) /
        (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
         "-genmidi.txt");

    void write(const std::string& contents) { std::ofstream(path_, std::ios::binary) << contents; }
    void TearDown() override { std::filesystem::remove(path_); }
};

TEST_F(InstrumentFile, EachLineBecomesANumberedEntryWithoutLineEndsOrByteOrderMark) {
    struct Case {
        const char* contents;
        NameList names;
    };
    const Case cases[] = {
        {"Piano\n\nOrgan \n", {"1 - Piano", "2 - ", "3 - Organ "}},
        {"Piano\r\nOrgan\r\n", {"1 - Piano", "2 - Organ"}},
        {"Piano\rOrgan\r", {"1 - Piano", "2 - Organ"}},
        {"\xEF\xBB\xBFPiano\nOrgan", {"1 - Piano", "2 - Organ"}},
        {"\xEF\xBB\xBF\xEF\xBB\xBFPiano\nOrgan", {"1 - Piano", "2 - Organ"}},
    };
    for (const auto& c : cases) {
        write(c.contents);
        std::vector<std::string> logged;
        EXPECT_EQ(loadInstrumentNames(path_.string(),
                                      [&](std::string_view l) { logged.emplace_back(l); }),
                  c.names)
            << c.contents;
        EXPECT_TRUE(logged.empty());
    }
}

TEST_F(InstrumentFile, LongFilesAreReadToTheEnd) {
    std::string contents;
    for (int i = 1; i <= 200; ++i) {
        contents += "Sound " + std::to_string(i) + "\n";
    }
    write(contents);
    const auto names = loadInstrumentNames(path_.string());
    ASSERT_EQ(names.size(), 200u);
    EXPECT_EQ(names[199], "200 - Sound 200");
    // The Setting column of a Program Change still offers only the 128 MIDI programs.
    const auto offered = settingNames(kProgramChange, names);
    ASSERT_EQ(offered.size(), 128u);
    EXPECT_EQ(offered.back(), "128 - Sound 128");
    EXPECT_EQ(settingText(kProgramChange, 127, names), "128 - Sound 128");
    EXPECT_EQ(settingText(kProgramChange, 128, names), "");
}

TEST_F(InstrumentFile, MissingFileGivesNumbersAndALogLine) {
    std::vector<std::string> logged;
    const auto names = loadInstrumentNames((path_ / "absent").string(),
                                           [&](std::string_view l) { logged.emplace_back(l); });
    ASSERT_EQ(names.size(), 128u);
    EXPECT_EQ(names.front(), " 1");
    EXPECT_EQ(names.back(), " 128");
    EXPECT_EQ(logged, std::vector<std::string>{"Error in patch loading."});
}

TEST(Vocabulary, ShippedInstrumentFileHoldsTheGeneralMidiPrograms) {
    const auto names = loadInstrumentNames(std::string(VRX_RESOURCE_DIR) + "/genmidi.txt");
    ASSERT_EQ(names.size(), 128u);
    EXPECT_EQ(names.front(), "1 - Acoustic Grand Piano");
    EXPECT_EQ(names[19], "20 - Church Organ");
    EXPECT_EQ(names.back(), "128 - Gunshot");
}

TEST(Vocabulary, SettingTextsAreWhatTheGridShows) {
    const NameList instruments = {"1 - Piano"};
    struct Case {
        int function;
        int setting;
        const char* text;
    };
    const Case cases[] = {
        {kUnassigned, 0, ""},
        {kTq450Cancel, 0, ""},
        {kRomanticStop, 1, "01 - Ophicleide 16' [P]"},
        {kRomanticStop, 20, ""},
        {kMidiStop, 2, "IN3 (Choir)"},
        {kBankSelectMsb, 127, "127"},
        {kBankSelectLsb, 0, "0"},
        {kProgramChange, 0, "1 - Piano"},
        {kProgramChange, 1, ""},  // the name file was shorter
        {kNoteOnOff, 0, "0 (C-2)"},
        {kNoteOnOff, 60, "60 (C3)"},
        {kNoteOnOff, 61, "61 (C#3)"},
        {kNoteOnOff, 127, "127 (G8)"},
        {kNoteOnOff, 200, ""},
        {kTq450Stop, 83, "Unit #7, Tab #12"},
        {kTq450Trem, 5, "5"},
        {kNoteOnOff, -1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(settingText(c.function, c.setting, instruments), c.text)
            << functionNames()[c.function] << " " << c.setting;
    }
}

TEST(ProgramData, FixedPinTableAndKeyOffsetList) {
    struct Case {
        int row;
        const char* name;
        int pin;
    };
    const Case cases[] = {{1, "IN1", 62},  {3, "IN1", 64},  {4, "IN2", 62}, {9, "IN3", 64},
                          {10, "IN4", 33}, {41, "IN4", 64}, {42, "IN5", 1}, {105, "IN5", 64}};
    for (const auto& c : cases) {
        const auto location = pinLocation(c.row);
        EXPECT_EQ(location.pinName, c.name) << c.row;
        EXPECT_EQ(location.pinNum, c.pin) << c.row;
    }
    EXPECT_EQ(keyOffsetToIndex(91), 0);
    EXPECT_EQ(keyOffsetToIndex(0), 91);
    EXPECT_EQ(keyOffsetToIndex(-36), 127);
    EXPECT_EQ(indexToKeyOffset(127), -36);
    EXPECT_EQ(keyOffsetText(12), "+12");
    EXPECT_EQ(keyOffsetText(0), "0");
    EXPECT_EQ(keyOffsetText(-5), "-5");
}

}  // namespace
}  // namespace vrx
