#include "link/time_left.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(TimeLeft, ScalesWhatTheProgramsSoFarTookToThoseStillToGo) {
    struct Case {
        std::int64_t elapsedMs;
        int done;
        int total;
        const char* text;
    };
    const Case cases[] = {
        {3800, 1, 16, "About 57 s left"},
        {7600, 2, 4, "About 8 s left"},
        {3800, 1, 40, "About 2 min left"},
        {0, 0, 16, ""},
        {61200, 16, 16, ""},
        {1, 1, 2, "About 1 s left"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timeLeftText(c.elapsedMs, c.done, c.total), c.text)
            << c.elapsedMs << " " << c.done << "/" << c.total;
    }
}

}  // namespace
}  // namespace vrx
