#pragma once

#include <chrono>
#include <cstdint>

namespace vrx {

// Milliseconds since some fixed moment. The link and the simulated unit read the time
// only through this, so tests can run a whole exchange in virtual time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
};

class SteadyClock final : public Clock {
public:
    std::int64_t nowMs() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

// Time that moves only when told to.
class VirtualClock final : public Clock {
public:
    std::int64_t nowMs() const override { return now_; }
    void advanceTo(std::int64_t ms) {
        if (ms > now_) {
            now_ = ms;
        }
    }
    void advanceBy(std::int64_t ms) { now_ += ms; }

private:
    std::int64_t now_ = 0;
};

}  // namespace vrx
