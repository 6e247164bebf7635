// How long a verified restore takes against the simulated unit, in virtual time. The
// floor per program is what the unit itself needs: the identity exchange, four updates
// each followed by the unit's 600 ms, the reboot followed by the second the unit needs
// to restart, and the read-back's request and answer on the cable. Anything above it is
// time our own code adds.
#include <gtest/gtest.h>

#include <iostream>

#include "link/link_bench.h"
#include "link/output_queue.h"
#include "protocol/messages.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

using testing::LinkBench;

double wireMs(std::size_t bytes) {
    return static_cast<double>(SimulatedUnit::wireTimeUs(bytes)) / 1000.0;
}

TEST(RestoreBenchmark, SixteenVerifiedProgramsStayWithinATenthOfTheFloor) {
    LinkBench bench;
    std::vector<ProgramToWrite> programs;
    for (int p = 1; p <= 16; ++p) {
        programs.push_back({p, testing::plausibleProgram(100 + p)});
    }
    const std::int64_t start = bench.clock.nowMs();
    bench.link.restorePrograms(programs);
    ASSERT_TRUE(bench.tickUntil([&] { return bench.operationOver(); }, 5000));
    ASSERT_TRUE(bench.link.restore().allSucceeded());

    // The TAG MESSAGE and the Identity Request leave on consecutive ticks.
    const double identity = static_cast<double>(DeviceLink::kTickMs) +
                            wireMs(identityRequest().size()) + wireMs(kIdentityReplyMinBytes);
    const double writing = 4.0 * static_cast<double>(OutputQueue::kWritePauseMs) +
                           static_cast<double>(DeviceLink::kUnitRestartMs);
    const double readBack =
        wireMs(programRequest(0, 0).size()) +
        wireMs(kResponseHeaderBytes + 1 + packSevenBit(Bytes(kProgramBytes)).size());
    const double floorMs = 16 * (identity + writing + readBack);
    // The restore is over when its last read-back has arrived.
    const auto& at = bench.unit.receivedAtMs();
    const double took = static_cast<double>(at.back() - start);
    const double ratio = took / floorMs;
    std::cout << "restore of 16 programs: " << took << " ms, floor " << floorMs << " ms, ratio "
              << ratio << "\n";
    RecordProperty("ratio", std::to_string(ratio));
    EXPECT_LE(ratio, 1.1);
}

}  // namespace
}  // namespace vrx
