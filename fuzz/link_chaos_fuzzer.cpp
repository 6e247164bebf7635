#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "link/chaos_schedule.h"

// The link's chaos property with the schedule drawn from the fuzzer's bytes: unit faults,
// user actions and operations in virtual time against the simulated unit. A broken
// invariant says which and stops.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vrx::testing::Choices choices(data, size);
    const auto violation = vrx::testing::ChaosRun(choices).run();
    if (!violation.empty()) {
        std::fprintf(stderr, "%s\n", violation.c_str());
        __builtin_trap();
    }
    return 0;
}
