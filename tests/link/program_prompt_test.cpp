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

// A valid DIP setting, the last program included, is proposed with its levers; one
// beyond the programs is warned about, and only the numbers accepted before are. The
// result tells OK, Cancel and closed apart; the prompt's own field updates, echoed back
// by the dialog's change events, are ignored.
TEST(ProgramPrompt, DipSettingIsProposedOrWarnedAbout) {
    ProgramPrompt prompt;
    int refreshes = 0;
    prompt.setFieldsChangedHandler([&] {
        ++refreshes;
        prompt.numberTextChanged("2");
        prompt.spinChanged(3);
    });
    prompt.open("Loading Program Data From VRX", 5, 5, "VRX");
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(prompt.caption(), "Loading Program Data From VRX");
    EXPECT_EQ(prompt.numberText(), "5");
    EXPECT_EQ(prompt.spinValue(), 5);
    EXPECT_FALSE(prompt.warningVisible() || prompt.dipSwitchInvalid());
    EXPECT_TRUE(prompt.pictureVisible());
    EXPECT_EQ(levers(prompt), "^^v^^^^^");
    EXPECT_EQ(prompt.result(), 0);  // closed without a button: the title reads as 0
    prompt.spinChanged(4);
    prompt.pressOk();
    EXPECT_EQ(prompt.result(), 4);

    prompt.open("Writing Program Data To VRX", 20, 16, "VRX");
    EXPECT_EQ(prompt.dipSwitchText(), "20");
    EXPECT_TRUE(prompt.dipSwitchInvalid() && prompt.warningVisible());
    EXPECT_FALSE(prompt.pictureVisible());
    EXPECT_EQ(prompt.warningText(),
              "Warning: the dipswitch setting of your VRX is currently set to load an invalid "
              "program number. Please change the dipswitch to load a program number between 1 "
              "and 16");
    EXPECT_EQ(prompt.numberText(), "1");
    prompt.numberTextChanged("6");
    EXPECT_EQ(prompt.numberText(), "1");
    prompt.numberTextChanged("5");
    EXPECT_EQ(prompt.numberText(), "5");
    prompt.pressOk();
    EXPECT_EQ(prompt.result(), 5);
    prompt.pressCancel();
    EXPECT_EQ(prompt.result(), -1);

    // No prompt has seen a valid setting yet: nothing is accepted, the levers stay hidden.
    ProgramPrompt first;
    first.open("t", 20, 16, "VRX");
    first.numberTextChanged("3");
    EXPECT_EQ(first.numberText() + " " + levers(first), "1 --------");
}

// What the field shows after each entry, and the levers: the number less one in binary.
TEST(ProgramPrompt, OutOfRangeOrNonNumericInputRestoresTheLastAcceptedNumber) {
    // Programs as the unit reports them, what is typed, what the field shows, the levers.
    const std::vector<std::tuple<int, std::string, std::string, std::string>> table = {
        {16, "12", "12", "vv^v^^^^"},        {16, "0", "12", "vv^v^^^^"},
        {16, "17", "12", "vv^v^^^^"},        {16, "ab", "12", "vv^v^^^^"},
        {16, "", "12", "vv^v^^^^"},          {16, "3x", "3", "^v^^^^^^"},
        {16, "16", "16", "vvvv^^^^"},        {16, "99999", "16", "vvvv^^^^"},
        {256, "1", "1", "^^^^^^^^"},         {256, "256", "256", "vvvvvvvv"},
        {256, "129", "129", "^^^^^^^v"},     {10000, "8192", "8192", "vvvvvvvv"},
        {10000, "8193", "8192", "vvvvvvvv"},  // more than a request can address
    };
    ProgramPrompt prompt;
    int programs = 0;
    for (const auto& [reported, typed, shown, leverText] : table) {
        if (reported != programs) {
            programs = reported;
            prompt.open("t", 1, programs, "VRX");
        }
        prompt.numberTextChanged(typed);
        EXPECT_EQ(prompt.numberText() + " " + levers(prompt), shown + " " + leverText)
            << "typed '" << typed << "'";
        EXPECT_EQ(prompt.spinValue(), std::stoi(shown));
    }
    // How the number in the field reads, as the dialog reads it.
    const std::vector<std::pair<std::string, int>> numbers = {
        {"12", 12}, {" 7abc", 7}, {"abc", 0},   {"2.6", 3},
        {"2.5", 2}, {"-4", -4},   {"40000", 0}, {"Cancel", 0}};
    for (const auto& [text, value] : numbers) {
        EXPECT_EQ(promptNumber(text), value) << text;
    }
}

}  // namespace
}  // namespace vrx
