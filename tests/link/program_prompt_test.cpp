#include "link/program_prompt.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

// The switch positions as text, switch 1 first: 'v' down (bit set), '^' up.
std::string levers(const ProgramPrompt& prompt) {
    std::string shown;
    for (const auto& lever : prompt.levers()) {
        shown += !lever.visible ? '-' : lever.top == ProgramPrompt::kLeverDownTop ? 'v' : '^';
    }
    return shown;
}

TEST(ProgramPrompt, ValidDipSettingIsProposedWithItsLevers) {
    ProgramPrompt prompt;
    prompt.open("Loading Program Data From VRX", 5, 8, "VRX");
    EXPECT_EQ(prompt.caption(), "Loading Program Data From VRX");
    EXPECT_EQ(prompt.dipSwitchText(), "5");
    EXPECT_FALSE(prompt.dipSwitchInvalid());
    EXPECT_EQ(prompt.numberText(), "5");
    EXPECT_EQ(prompt.spinValue(), 5);
    EXPECT_FALSE(prompt.warningVisible());
    EXPECT_TRUE(prompt.pictureVisible());
    EXPECT_EQ(levers(prompt), "^^v^^^^^");
    EXPECT_EQ(prompt.maxProgramNumber(), 8);
    for (int i = 0; i < ProgramPrompt::kLevers; ++i) {
        const auto& lever = prompt.levers()[static_cast<std::size_t>(i)];
        EXPECT_EQ(lever.left, 500 + 213 * i);
        EXPECT_EQ(lever.width, 120);
        EXPECT_EQ(lever.height, 135);
    }
}

TEST(ProgramPrompt, InvalidDipSettingShowsTheWarningAndKeepsTheEarlierRange) {
    ProgramPrompt prompt;
    prompt.open("Writing Program Data To VRX", 20, 16, "VRX");
    EXPECT_EQ(prompt.dipSwitchText(), "20");
    EXPECT_TRUE(prompt.dipSwitchInvalid());
    EXPECT_EQ(prompt.numberText(), "1");
    EXPECT_TRUE(prompt.warningVisible());
    EXPECT_FALSE(prompt.pictureVisible());
    EXPECT_EQ(prompt.warningText(),
              "Warning: the dipswitch setting of your VRX is currently set to load an invalid "
              "program number. Please change the dipswitch to load a program number between 1 "
              "and 16");
    // No prompt has seen a valid setting yet: nothing is accepted, the levers stay hidden.
    EXPECT_EQ(prompt.maxProgramNumber(), 0);
    prompt.numberTextChanged("3");
    EXPECT_EQ(prompt.numberText(), "1");
    EXPECT_EQ(levers(prompt), "--------");
    prompt.pressOk();
    EXPECT_EQ(prompt.result(), 1);

    prompt.open("x", 2, 12, "VRX");
    prompt.open("x", 40, 30, "VRX");
    EXPECT_EQ(prompt.maxProgramNumber(), 12);
    prompt.numberTextChanged("12");
    EXPECT_EQ(prompt.numberText(), "12");
}

TEST(ProgramPrompt, OutOfRangeOrNonNumericInputRestoresTheLastAcceptedNumber) {
    struct Row {
        std::string typed;
        std::string shown;
        std::string levers;
    };
    const std::vector<Row> table = {
        {"12", "12", "vv^v^^^^"}, {"0", "12", "vv^v^^^^"},     {"17", "12", "vv^v^^^^"},
        {"ab", "12", "vv^v^^^^"}, {"", "12", "vv^v^^^^"},      {"3x", "3", "^v^^^^^^"},
        {"16", "16", "vvvv^^^^"}, {"99999", "16", "vvvv^^^^"},
    };
    ProgramPrompt prompt;
    prompt.open("t", 1, 16, "VRX");
    for (const auto& row : table) {
        prompt.numberTextChanged(row.typed);
        EXPECT_EQ(prompt.numberText(), row.shown) << "typed '" << row.typed << "'";
        EXPECT_EQ(prompt.spinValue(), std::stoi(row.shown));
        EXPECT_EQ(levers(prompt), row.levers) << "typed '" << row.typed << "'";
    }
}

TEST(ProgramPrompt, NumbersARequestCannotAddressAreRefusedWhateverTheUnitReports) {
    ProgramPrompt prompt;
    prompt.open("t", 1, 10000, "VRX");
    EXPECT_EQ(prompt.maxProgramNumber(), 8192);
    prompt.numberTextChanged("8192");
    EXPECT_EQ(prompt.numberText(), "8192");
    prompt.numberTextChanged("8193");
    EXPECT_EQ(prompt.numberText(), "8192");
}

TEST(ProgramPrompt, LeversShowTheSwitchValueBits) {
    ProgramPrompt prompt;
    prompt.open("t", 1, 256, "VRX");
    struct Row {
        int number;
        std::string levers;
    };
    for (const auto& row :
         {Row{1, "^^^^^^^^"}, Row{6, "v^v^^^^^"}, Row{256, "vvvvvvvv"}, Row{129, "^^^^^^^v"}}) {
        prompt.spinChanged(row.number);
        EXPECT_EQ(levers(prompt), row.levers) << row.number;
        EXPECT_EQ(prompt.currentNumber(), row.number);
    }
}

TEST(ProgramPrompt, ResultTellsOkCancelAndClosedApart) {
    ProgramPrompt prompt;
    prompt.open("Loading Program Data From VRX", 4, 8, "VRX");
    EXPECT_EQ(prompt.result(), 0);  // closed without a button: the title reads as 0
    prompt.pressCancel();
    EXPECT_EQ(prompt.result(), -1);
    prompt.open("Loading Program Data From VRX", 4, 8, "VRX");
    prompt.spinChanged(7);
    prompt.pressOk();
    EXPECT_EQ(prompt.result(), 7);
}

TEST(ProgramPrompt, UpdatesRaisedByItsOwnFieldChangesAreIgnored) {
    ProgramPrompt prompt;
    int refreshes = 0;
    prompt.setFieldsChangedHandler([&] {
        ++refreshes;
        // What the dialog's change events would do while the prompt writes its fields.
        prompt.numberTextChanged("2");
        prompt.spinChanged(3);
    });
    prompt.open("t", 5, 8, "VRX");
    EXPECT_EQ(prompt.numberText(), "5");
    EXPECT_EQ(prompt.currentNumber(), 5);
    EXPECT_EQ(refreshes, 1);
}

TEST(ProgramPrompt, NumberReadsLikeTheNumberField) {
    struct Row {
        std::string text;
        int value;
    };
    for (const auto& row : {Row{"12", 12}, Row{" 7abc", 7}, Row{"abc", 0}, Row{"2.6", 3},
                            Row{"2.5", 2}, Row{"-4", -4}, Row{"40000", 0}, Row{"Cancel", 0}}) {
        EXPECT_EQ(promptNumber(row.text), row.value) << row.text;
    }
}

}  // namespace
}  // namespace vrx
