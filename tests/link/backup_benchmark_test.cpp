// How long a backup takes against the simulated unit, in virtual time: each program
// should cost no more than 1.2 times one tick of request pacing plus the time its
// request and response take on the cable.
#include <gtest/gtest.h>

#include <iostream>

#include "link/link_bench.h"
#include "protocol/messages.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

using testing::LinkBench;

TEST(BackupBenchmark, ProgramsFollowEachOtherWithinTheBudget) {
    for (const int parts : {1, 4}) {
        SimulatedUnitSettings settings;
        settings.responseParts = parts;
        LinkBench bench(settings);
        const std::int64_t start = bench.clock.nowMs();
        bench.link.backupFromDevice();
        ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));
        const int programs = settings.programCount;
        ASSERT_EQ(bench.view.programsRead.size(), static_cast<std::size_t>(programs));

        // Per program: the request waits at most one tick in the queue, then 14 bytes go
        // out and the 256 bytes come back packed.
        const auto response = SimulatedUnit::wireTimeUs(
            static_cast<std::size_t>(parts) * (kResponseHeaderBytes + 1) +
            packSevenBit(Bytes(kProgramBytes / static_cast<unsigned>(parts))).size() *
                static_cast<std::size_t>(parts));
        const double perProgramMs =
            static_cast<double>(DeviceLink::kTickMs) +
            static_cast<double>(SimulatedUnit::wireTimeUs(programRequest(0, 0).size()) + response) /
                1000.0;
        // From the command to the result, identity exchange included.
        const double took = static_cast<double>(bench.clock.nowMs() - start);
        const double ratio = took / (programs * perProgramMs);
        std::cout << "backup of " << programs << " programs, responses in " << parts
                  << " parts: " << took << " ms, budget per program " << perProgramMs
                  << " ms, ratio " << ratio << "\n";
        RecordProperty("ratio_" + std::to_string(parts) + "_parts", std::to_string(ratio));
        EXPECT_LE(ratio, 1.2);
    }
}

}  // namespace
}  // namespace vrx
