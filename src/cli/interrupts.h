#pragma once

#include <chrono>
#include <functional>

namespace vrx::cli {

// Counts Ctrl+C (SIGINT) and SIGTERM while it exists, instead of letting them end the
// program at once; the handlers before it come back when it goes. One at a time.
class InterruptCounter {
public:
    InterruptCounter();
    ~InterruptCounter();
    InterruptCounter(const InterruptCounter&) = delete;
    InterruptCounter& operator=(const InterruptCounter&) = delete;

    int count() const;
};

// Calls `poll` every `period` until it says it is done or Ctrl+C or SIGTERM comes, which
// end the loop instead of the program; true when one came first.
bool pollUntilInterrupted(std::chrono::milliseconds period, const std::function<bool()>& poll);

}  // namespace vrx::cli
