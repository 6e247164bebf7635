#include "link/readback_differences.h"

#include <gtest/gtest.h>

#include "model/program_data.h"
#include "model/program_image.h"

namespace vrx {
namespace {

// What the user is told when one field of the program came back changed.
TEST(ReadbackDifferences, NameThePartsOfTheEditorThatCameBackChanged) {
    ProgramData base;
    base.pins[6].pinFunction = 9;
    const Bytes sent = encodeProgramData(base);

    struct Case {
        const char* name;
        void (*change)(ProgramData&);
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"pin", [](ProgramData& d) { d.pins[6].pinSubFunction = 3; }, {"pin row 7"}},
        {"two pins",
         [](ProgramData& d) {
             d.pins[0] = {9, 4, 0};
             d.pins[104].pinFunction = 10;
         },
         {"pin rows 1, 105"}},
        {"key offset",
         [](ProgramData& d) { d.channels[4].keyOffset = 12; },
         {"MIDI channel row 5"}},
        {"odd channel of a pair",
         [](ProgramData& d) { d.channels[3].analogInput = 2; },
         {"MIDI channel row 4"}},
        {"keyboard feeding channel 10",
         [](ProgramData& d) { d.channels[9].inputKeyboard = 2; },
         {"MIDI channel row 10"}},
        {"crescendo", [](ProgramData& d) { d.archiveMidiChannel = 5; }, {"crescendo"}},
        {"tuning", [](ProgramData& d) { d.tuningOptions[2] = true; }, {"tuning"}},
        {"several",
         [](ProgramData& d) {
             d.pins[19].pinFunction = 9;
             d.channels[0].keyOffset = 0;
             d.tuningInput = 2;
         },
         {"pin row 20", "MIDI channel row 1", "tuning"}},
    };
    for (const auto& c : cases) {
        ProgramData changed = base;
        c.change(changed);
        EXPECT_EQ(differingParts(sent, encodeProgramData(changed)), c.expected) << c.name;
    }
    EXPECT_TRUE(differingParts(sent, sent).empty());
}

TEST(ReadbackDifferences, BytesTheEditorDoesNotShowAndAShortAnswerStillCount) {
    const Bytes sent = encodeProgramData(ProgramData{});
    Bytes unused = sent;
    unused[36] ^= 1;
    EXPECT_EQ(differingParts(sent, unused), std::vector<std::string>{"other bytes"});
    const Bytes cut(sent.begin(), sent.begin() + 250);
    EXPECT_EQ(differingParts(sent, cut), std::vector<std::string>{"pin rows 103-105"});
    EXPECT_EQ(joinParts({"pin rows 1, 2", "crescendo", "tuning"}),
              "pin rows 1, 2; crescendo and tuning");
}

}  // namespace
}  // namespace vrx
