// Seeded random schedules of unit faults, user actions and operations over the link:
// whatever happens, everything ends in time, nothing is called done or verified that the
// unit does not hold, and every backup file holds the program its name says.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

#include "link/chaos_schedule.h"

namespace vrx {
namespace {

TEST(Chaos, EverySeededScheduleKeepsTheInvariants) {
    constexpr std::uint32_t kSchedules = 5000;
    const auto start = std::chrono::steady_clock::now();
    int broken = 0;
    // VRX_CHAOS_SEED=n runs that schedule alone and shows what happened in it.
    const char* only = std::getenv("VRX_CHAOS_SEED");
    const std::uint32_t first = only != nullptr ? static_cast<std::uint32_t>(std::atoi(only)) : 1;
    const std::uint32_t last = only != nullptr ? first : kSchedules;
    for (std::uint32_t seed = first; seed <= last; ++seed) {
        testing::Choices choices(seed);
        testing::ChaosRun run(choices);
        const auto violation = run.run();
        if (!violation.empty() && ++broken <= 5) {
            ADD_FAILURE() << "seed " << seed << ": " << violation
                          << (only != nullptr ? "\n" + run.journal() : "");
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << kSchedules << " schedules in " << took.count() << " s\n";
    RecordProperty("schedules", static_cast<int>(kSchedules));
    EXPECT_EQ(broken, 0);
}

}  // namespace
}  // namespace vrx
