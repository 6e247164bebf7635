#pragma once

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

}  // namespace vrx::cli
