#include "cli/session_host.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vrx::cli {
namespace {

// Input is looked at this often between timer ticks.
constexpr std::int64_t kPollMs = 2;

}  // namespace

void RealSessionHost::waitUntil(std::int64_t ms) {
    const std::int64_t wait = std::clamp<std::int64_t>(ms - clock_.nowMs(), 0, kPollMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(wait));
}

void RealSessionHost::catchInterrupts() {
    if (!counter_) {
        counter_.emplace();
    }
}

}  // namespace vrx::cli
