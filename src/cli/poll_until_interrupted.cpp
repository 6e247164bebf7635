#include <thread>

#include "cli/interrupts.h"

namespace vrx::cli {

bool pollUntilInterrupted(std::chrono::milliseconds period, const std::function<bool()>& poll) {
    const InterruptCounter interrupts;
    while (interrupts.count() == 0) {
        if (poll()) {
            return false;
        }
        std::this_thread::sleep_for(period);
    }
    return true;
}

}  // namespace vrx::cli
