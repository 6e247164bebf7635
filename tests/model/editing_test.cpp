#include <gtest/gtest.h>

#include "model/differences.h"
#include "model/program_edit.h"
#include "model/row_clipboard.h"

namespace vrx {
namespace {

ProgramData withPin(int row, PinAssignment pin, ProgramData data = {}) {
    data.pins[row - 1] = pin;
    return data;
}

TEST(ProgramEdit, EachEditChangesItsFieldAndNamesItsStep) {
    const ProgramData noteOnPin17 = withPin(17, {kNoteOnOff, 7, 56});
    struct Case {
        ProgramEdit edit;
        PinAssignment pin17;
        const char* name;
    };
    const Case cases[] = {
        // Another function starts from channel 1 and the first setting, in the same step.
        {PinEdit{17, PinField::Function, kMidiStop}, {kMidiStop, 0, 0}, "Set Pin 17 Function"},
        // The same function again keeps both.
        {PinEdit{17, PinField::Function, kNoteOnOff}, {kNoteOnOff, 7, 56}, "Set Pin 17 Function"},
        {PinEdit{17, PinField::MidiChannel, 3}, {kNoteOnOff, 3, 56}, "Set Pin 17 MIDI Channel"},
        {PinEdit{17, PinField::Setting, 60}, {kNoteOnOff, 7, 60}, "Set Pin 17 Setting"},
    };
    for (const auto& c : cases) {
        const ProgramData after = applyEdit(noteOnPin17, c.edit);
        EXPECT_EQ(after, withPin(17, c.pin17, noteOnPin17)) << c.name;
        EXPECT_EQ(editName(c.edit), c.name);
    }

    struct FieldCase {
        ProgramEdit edit;
        void (*expect)(ProgramData&);
        const char* name;
    };
    const FieldCase fields[] = {
        {ChannelEdit{0, ChannelField::InputKeyboard, 2},
         [](ProgramData& d) { d.channels[0].inputKeyboard = 2; }, "Set Channel 1 Input Keyboard"},
        {ChannelEdit{1, ChannelField::AnalogInput, 3},
         [](ProgramData& d) { d.channels[1].analogInput = 3; }, "Set Channel 2 Analog Input"},
        {ChannelEdit{15, ChannelField::ControllerType, 1},
         [](ProgramData& d) { d.channels[15].controllerType = 1; },
         "Set Channel 16 Controller Type"},
        {ChannelEdit{2, ChannelField::KeyOffset, 12},
         [](ProgramData& d) { d.channels[2].keyOffset = 12; }, "Set Channel 3 Key Offset"},
        {GeneralEdit{GeneralField::ArchiveAnalogInput, 5},
         [](ProgramData& d) { d.archiveAnalogInput = 5; }, "Set Crescendo Analog Input"},
        {GeneralEdit{GeneralField::ArchiveMidiChannel, 9},
         [](ProgramData& d) { d.archiveMidiChannel = 9; }, "Set Crescendo MIDI Channel"},
        {GeneralEdit{GeneralField::TuningInput, 4}, [](ProgramData& d) { d.tuningInput = 4; },
         "Set Tuning Analog Input"},
        {GeneralEdit{GeneralField::TuningOption, 1, 1},
         [](ProgramData& d) { d.tuningOptions[1] = true; }, "Set Tuning Option 2"},
    };
    for (const auto& c : fields) {
        ProgramData expected;
        c.expect(expected);
        EXPECT_EQ(applyEdit({}, c.edit), expected) << c.name;
        EXPECT_EQ(editName(c.edit), c.name);
    }
}

TEST(CompareConfigurations, ListsWhatDiffersInTheEditorsWords) {
    ProgramData before = withPin(17, {kNoteOnOff, 7, 56});
    before.channels[2].keyOffset = 12;
    ProgramData after;
    after.channels[2].keyOffset = 0;
    after.channels[3].analogInput = 2;
    after.archiveAnalogInput = 5;
    after.archiveMidiChannel = 3;
    after.tuningInput = 1;
    after.tuningOptions[0] = true;
    // An unassigned pin's leftover channel is nothing the console would notice.
    after.pins[40] = {kUnassigned, 5, 9};

    const auto differences = compareConfigurations(before, after);
    std::vector<std::string> texts;
    for (const auto& difference : differences) {
        texts.push_back(difference.text());
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Channel 3 Key Offset: +12 \u2192 0",
                         "Channel 4 Analog Input: None \u2192 #2",
                         "Crescendo Analog Input: None \u2192 #6",
                         "Crescendo MIDI Channel: 1 \u2192 4",
                         "Tuning Analog Input: None \u2192 #1",
                         "Tuning: Enable the Temperature Sensor Input: off \u2192 on",
                         "Pin 17 (IN4 40): Note On/Off, ch 8, 56 (G#2) \u2192 Unassigned",
                     }));
    EXPECT_EQ(differencesText(compareConfigurations(after, after)), "No differences\n");
}

TEST(RowClipboard, CopiedPinRowsPasteOntoOtherRows) {
    ProgramData source = withPin(42, {kRomanticStop, 1, 3});
    source = withPin(43, {kTq450Cancel, 0, 0}, source);
    source = withPin(44, {kProgramChange, 15, 2}, source);
    const NameList instruments = {"1 - Piano", "2 - Bright", "3 - Organ"};
    const std::string copied = copyPinRows(source, {42, 43, 44}, instruments);
    EXPECT_EQ(copied,
              "Ahlborn ROMANTIC Stop\t2\t03 - Contre Basson 32' [P]\n"
              "TQ-450 Cancel\t\t\n"
              "Program Change\t16\t3 - Organ\n");

    const auto pasted = pastePinRows({}, {60}, copied, instruments);
    ASSERT_TRUE(pasted.ok()) << pasted.error();
    EXPECT_EQ(pasted->pins[59], source.pins[41]);
    EXPECT_EQ(pasted->pins[60], source.pins[42]);
    EXPECT_EQ(pasted->pins[61], source.pins[43]);
    EXPECT_EQ(pasted->pins[62], PinAssignment{});

    // One line from a spreadsheet, with its own spacing and capitals, fills every selected row.
    const auto filled =
        pastePinRows({}, {3, 1, 2}, "midi stop \t 4 \tIN3 (Choir)\r\n", instruments);
    ASSERT_TRUE(filled.ok()) << filled.error();
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(filled->pins[row - 1], (PinAssignment{kMidiStop, 3, 2}));
    }
}

TEST(RowClipboard, APasteWithACellThatFitsNoEntryNamesTheCell) {
    const ProgramData data = withPin(1, {kNoteOnOff, 0, 60});
    struct Case {
        std::vector<int> rows;
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {{1},
         "Note On/Off\t1\t60 (C3)\nNote Off\t1\t60 (C3)\n",
         "Pin 2 Function: \"Note Off\" is not a function."},
        {{5},
         "MIDI Stop\t17\tIN1 (Swell)",
         "Pin 5 MIDI Channel: \"17\" is not a channel from 1 to 16."},
        {{5},
         "Program Change\t1\t4 - Organ",
         "Pin 5 Setting: \"4 - Organ\" is not in the list of Program Change."},
        {{104},
         "Unassigned\nUnassigned\nUnassigned",
         "The 3 rows pasted from pin 104 would run past the last row."},
        {{1, 2, 3},
         "Unassigned\nUnassigned",
         "The clipboard holds 2 rows but 3 rows are selected."},
        {{1}, "", "There is nothing to paste."},
    };
    for (const auto& c : cases) {
        const auto pasted = pastePinRows(data, c.rows, c.text, {"1 - Piano"});
        ASSERT_FALSE(pasted.ok()) << c.text;
        EXPECT_EQ(pasted.error(), c.error);
    }
}

TEST(RowClipboard, ChannelRowsCopyAndPasteWithTheirCheckedCells) {
    ProgramData source;
    source.channels[0] = {2, 3, 1, 12};
    const std::string copied = copyChannelRows(source, {0});
    EXPECT_EQ(copied, "IN2 (Great)\t#3\tExpression (11)\t+12\n");
    const auto pasted = pasteChannelRows({}, {4, 5}, copied);
    ASSERT_TRUE(pasted.ok()) << pasted.error();
    EXPECT_EQ(pasted->channels[4], source.channels[0]);
    EXPECT_EQ(pasted->channels[5], source.channels[0]);

    const auto wrong = pasteChannelRows({}, {15}, "None\tNone\tVolume (7)\t+92");
    ASSERT_FALSE(wrong.ok());
    EXPECT_EQ(wrong.error(), "Channel 16 Key Offset: \"+92\" is not an offset from -36 to +91.");
}

}  // namespace
}  // namespace vrx
