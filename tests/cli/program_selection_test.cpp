#include "cli/program_selection.h"

#include <gtest/gtest.h>

namespace vrx::cli {
namespace {

TEST(ProgramSelection, NumbersAndRangesOrAReasonWhyNot) {
    struct Case {
        const char* text;
        std::set<int> programs;
        const char* error;
    };
    const Case cases[] = {
        {"1,3-5", {1, 3, 4, 5}, ""},
        {"7", {7}, ""},
        {"2-2,2", {2}, ""},
        {"5-3", {}, "\"5-3\" is not a program number or a range like 3-5"},
        {"0", {}, "\"0\" is not a program number or a range like 3-5"},
        {"1,,2", {}, "\"\" is not a program number or a range like 3-5"},
        {"3-x", {}, "\"3-x\" is not a program number or a range like 3-5"},
        {"", {}, "no program numbers given"},
    };
    for (const auto& c : cases) {
        const auto selection = parseProgramSelection(c.text);
        EXPECT_EQ(selection.programs, c.programs) << c.text;
        EXPECT_EQ(selection.error, c.error) << c.text;
    }
}

}  // namespace
}  // namespace vrx::cli
