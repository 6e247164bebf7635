#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "files/ini_file.h"
#include "files/number_text.h"

namespace vrx {
namespace {

constexpr std::int32_t kFallback = -77;

TEST(CLngDefault, RoundsToTheNearestAndHalvesToEven) {
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"12", 12},
        {"  7  ", 7},
        {"+8", 8},
        {"-15", -15},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"2.5000001", 3},
        {"0.49", 0},
        {".5", 0},
        {"1.5", 2},
        {"1e3", 1000},
        {"12.75E-1", 1},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"-2147483648.5", std::numeric_limits<std::int32_t>::min()},
        {"2147483647.4", std::numeric_limits<std::int32_t>::max()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniFile::CLngDefault(c.text, kFallback), c.expected) << c.text;
    }
}

TEST(CLngDefault, GivesTheFallbackForAnythingElse) {
    for (const char* text :
         {"", " ", "FAIL", "12abc", "1 2", "0x10", "&H10", "inf", "nan", "-", ".", "1e", "1e999",
          "2147483647.5", "2147483648", "-2147483649", "99999999999999999999"}) {
        EXPECT_EQ(IniFile::CLngDefault(text, kFallback), kFallback) << '"' << text << '"';
    }
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOrZero) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"2", 2},     {"  3", 3}, {"2abc", 2}, {"-4 ", -4}, {"1.5x", 1.5},  {"2e", 2},
        {"2e1z", 20}, {"abc", 0}, {"", 0},     {"+", 0},    {".25.5", .25}, {"1e999", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(leadingNumber(c.text), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace vrx
