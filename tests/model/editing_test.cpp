#include <gtest/gtest.h>

#include <algorithm>

#include "model/differences.h"
#include "model/midi_stop_lock.h"
#include "model/program_edit.h"
#include "model/row_clipboard.h"
#include "model/vocabulary.h"

namespace vrx {
namespace {

ProgramData withPin(int row, PinAssignment pin, ProgramData data = {}) {
    data.pins[row - 1] = pin;
    return data;
}

// Each edit names its undo step, and what it changed reads as the Compare window lists it.
TEST(ProgramEdit, EachEditChangesOneFieldAndNamesItsStep) {
    ProgramData start = withPin(17, {kNoteOnOff, 7, 56});
    start.channels[2].keyOffset = 12;
    start.tuningInput = 1;
    struct Case {
        ProgramEdit edit;
        const char* step;
        const char* difference;
    };
    const Case cases[] = {
        // Another function starts from channel 1 and the first setting; the same keeps both.
        {PinEdit{17, PinField::Function, kMidiStop}, "Set Pin 17 Function",
         "Pin 17 (IN4 40): Note On/Off, ch 8, 56 (G#2) \u2192 MIDI Stop, ch 1, IN1 (Swell)"},
        {PinEdit{17, PinField::Function, kNoteOnOff}, "Set Pin 17 Function", "No differences"},
        {PinEdit{17, PinField::MidiChannel, 3}, "Set Pin 17 MIDI Channel",
         "Pin 17 (IN4 40): Note On/Off, ch 8, 56 (G#2) \u2192 Note On/Off, ch 4, 56 (G#2)"},
        {PinEdit{17, PinField::Setting, 60}, "Set Pin 17 Setting",
         "Pin 17 (IN4 40): Note On/Off, ch 8, 56 (G#2) \u2192 Note On/Off, ch 8, 60 (C3)"},
        // An unassigned pin's leftover channel is nothing the console would notice.
        {PinEdit{41, PinField::MidiChannel, 5}, "Set Pin 41 MIDI Channel", "No differences"},
        {ChannelEdit{0, ChannelField::InputKeyboard, 2}, "Set Channel 1 Input Keyboard",
         "Channel 1 Input Keyboard: None \u2192 IN2 (Great)"},
        {ChannelEdit{1, ChannelField::AnalogInput, 3}, "Set Channel 2 Analog Input",
         "Channel 2 Analog Input: None \u2192 #3"},
        {ChannelEdit{15, ChannelField::ControllerType, 1}, "Set Channel 16 Controller Type",
         "Channel 16 Controller Type: Volume (7) \u2192 Expression (11)"},
        {ChannelEdit{2, ChannelField::KeyOffset, 0}, "Set Channel 3 Key Offset",
         "Channel 3 Key Offset: +12 \u2192 0"},
        {GeneralEdit{GeneralField::ArchiveAnalogInput, 5}, "Set Crescendo Analog Input",
         "Crescendo Analog Input: None \u2192 #6"},
        {GeneralEdit{GeneralField::ArchiveMidiChannel, 9}, "Set Crescendo MIDI Channel",
         "Crescendo MIDI Channel: 1 \u2192 10"},
        {GeneralEdit{GeneralField::TuningInput, 4}, "Set Tuning Analog Input",
         "Tuning Analog Input: #1 \u2192 #4"},
        {GeneralEdit{GeneralField::TuningOption, 1, 1}, "Set Tuning Option 2",
         "Tuning: Enable the analog output for tuning Ahlborn Archive modules: off \u2192 on"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(editName(c.edit), c.step);
        EXPECT_EQ(differencesText(compareConfigurations(start, applyEdit(start, c.edit))),
                  c.difference + std::string("\n"))
            << c.step;
    }
    // Channels come first, then the general settings, then the pins.
    EXPECT_EQ(differencesText(compareConfigurations(start, ProgramData{})),
              "Channel 3 Key Offset: +12 \u2192 -36\nTuning Analog Input: #1 \u2192 None\n"
              "Pin 17 (IN4 40): Note On/Off, ch 8, 56 (G#2) \u2192 Unassigned\n");
}

TEST(RowClipboard, CopiedRowsPasteOntoOtherRows) {
    ProgramData source = withPin(42, {kRomanticStop, 1, 3});
    source = withPin(43, {kTq450Cancel, 0, 0}, source);
    source = withPin(44, {kProgramChange, 15, 2}, source);
    source.channels[0] = {2, 3, 1, 12};
    const NameList instruments = {"1 - Piano", "2 - Bright", "3 - Organ"};
    const std::string copied = copyPinRows(source, {42, 43, 44}, instruments);
    EXPECT_EQ(copied,
              "Ahlborn ROMANTIC Stop\t2\t03 - Contre Basson 32' [P]\n"
              "TQ-450 Cancel\t\t\n"
              "Program Change\t16\t3 - Organ\n");
    const std::string channel = copyChannelRows(source, {0});
    EXPECT_EQ(channel, "IN2 (Great)\t#3\tExpression (11)\t+12\n");
    const auto pasted = pastePinRows({}, {60}, copied, instruments);
    const auto channels = pasteChannelRows({}, {4, 5}, channel);
    ASSERT_TRUE(pasted.ok() && channels.ok());
    ProgramData expected;
    std::copy_n(source.pins.begin() + 41, 3, expected.pins.begin() + 59);
    EXPECT_EQ(*pasted, expected);
    expected = {};
    expected.channels[4] = expected.channels[5] = source.channels[0];
    EXPECT_EQ(*channels, expected);

    // One line from a spreadsheet, with its own spacing and capitals, fills every selected row.
    const auto filled =
        pastePinRows({}, {3, 1, 2}, "midi stop \t 4 \tIN3 (Choir)\r\n", instruments);
    ASSERT_TRUE(filled.ok()) << filled.error();
    expected = {};
    std::fill_n(expected.pins.begin(), 3, PinAssignment{kMidiStop, 3, 2});
    EXPECT_EQ(*filled, expected);
}

TEST(RowClipboard, APasteWithACellThatFitsNoEntryNamesTheCell) {
    const ProgramData data = withPin(1, {kNoteOnOff, 0, 60});
    const auto paste = [&](std::vector<int> rows, const char* text) {
        return pastePinRows(data, std::move(rows), text, {"1 - Piano"});
    };
    const std::pair<Result<ProgramData>, const char*> cases[] = {
        {paste({1}, "Note On/Off\t1\t60 (C3)\nNote Off\t1\t60 (C3)\n"),
         "Pin 2 Function: \"Note Off\" is not a function."},
        {paste({5}, "MIDI Stop\t17\tIN1 (Swell)"),
         "Pin 5 MIDI Channel: \"17\" is not a channel from 1 to 16."},
        {paste({5}, "Program Change\t1\t4 - Organ"),
         "Pin 5 Setting: \"4 - Organ\" is not in the list of Program Change."},
        {paste({104}, "Unassigned\nUnassigned\nUnassigned"),
         "The 3 rows pasted from pin 104 would run past the last row."},
        {paste({1, 2, 3}, "Unassigned\nUnassigned"),
         "The clipboard holds 2 rows but 3 rows are selected."},
        {paste({1}, ""), "There is nothing to paste."},
        {pasteChannelRows(data, {15}, "None\tNone\tVolume (7)\t+92"),
         "Channel 16 Key Offset: \"+92\" is not an offset from -36 to +91."},
    };
    for (const auto& [pasted, error] : cases) {
        ASSERT_FALSE(pasted.ok()) << error;
        EXPECT_EQ(pasted.error(), error);
    }
}

}  // namespace
}  // namespace vrx

namespace vrx {
namespace {

TEST(MidiStopLock, TakesTheKeyboardOfEveryChannelAMidiStopPlays) {
    struct Case {
        std::vector<std::pair<int, int>> stops;  // pin row index, channel
        std::vector<int> keyboardChannels;       // channels played by a keyboard
        std::vector<int> taken;
        std::string named;
    };
    const Case cases[] = {
        {{}, {0, 5}, {}, ""},
        {{{41, 2}}, {2}, {2}, "3"},
        {{{41, 2}, {9, 2}}, {2, 4}, {2}, "3"},
        {{{41, 2}, {9, 4}, {0, 15}}, {2, 4, 9, 15}, {2, 4, 15}, "3, 5 and 16"},
        {{{41, 2}, {9, 4}}, {3}, {}, ""},
        {{{41, 16}, {9, -1}}, {0, 15}, {}, ""},  // out of range: plays no channel
    };
    for (const Case& c : cases) {
        ProgramData data;
        for (const auto& [row, channel] : c.stops) {
            data.pins[row] = {kMidiStop, channel, 0};
        }
        for (const int channel : c.keyboardChannels) {
            data.channels[channel].inputKeyboard = 2;
        }
        EXPECT_EQ(channelsTheLockTakes(data), c.taken);
        EXPECT_EQ(channelListText(c.taken), c.named);
        const ProgramData locked = withMidiStopLock(data);
        EXPECT_TRUE(channelsTheLockTakes(locked).empty());
        for (int channel = 0; channel < kMidiChannels; ++channel) {
            const bool taken = std::count(c.taken.begin(), c.taken.end(), channel) > 0;
            EXPECT_EQ(locked.channels[channel].inputKeyboard,
                      taken ? 0 : data.channels[channel].inputKeyboard);
        }
    }
}

}  // namespace
}  // namespace vrx
