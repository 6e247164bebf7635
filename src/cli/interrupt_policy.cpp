#include "cli/interrupt_policy.h"

#include <string>

namespace vrx::cli {

InterruptPolicy::InterruptPolicy(SessionHost& host, DeviceLink& link, ConsoleLinkView& view)
    : host_(host), link_(link), view_(view) {
    host_.catchInterrupts();
}

bool InterruptPolicy::programGoingOut() const {
    const auto progress = link_.outputQueue().writeProgress();
    return progress.total > 0 && progress.sent < progress.total &&
           link_.operationMarker() != kMarkerFailed;
}

bool InterruptPolicy::stopNow() {
    const int count = host_.interrupts();
    if (stopped_ || count == seen_) {
        return stopped_;
    }
    const int fresh = count - seen_;
    seen_ = count;
    if (!programGoingOut() || finishing_ || fresh > 1) {
        stopped_ = true;
        return true;
    }
    finishing_ = true;
    link_.cancelRestore();
    const auto progress = link_.outputQueue().writeProgress();
    view_.printLine("vrxtool: interrupted: finishing the " +
                    std::to_string(progress.total - progress.sent) +
                    " messages of the program going out (interrupt again to abandon them)");
    return false;
}

}  // namespace vrx::cli
