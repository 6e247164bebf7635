#pragma once

#include "cli/console_link_view.h"
#include "cli/session_host.h"
#include "link/device_link.h"

namespace vrx::cli {

// How a device command answers Ctrl+C. Stopping is safe whenever none of a program's
// messages are on their way: nothing was sent, or all of it was and only the read-back
// is left. While a program is going out the first Ctrl+C lets its messages finish (a
// restore begins no further program) and a second one abandons them.
class InterruptPolicy {
public:
    InterruptPolicy(SessionHost& host, DeviceLink& link, ConsoleLinkView& view);

    // Looks at the interrupts that came since the last call: true once the command
    // must stop where it is.
    bool stopNow();
    bool stopped() const { return stopped_; }

private:
    bool programGoingOut() const;

    SessionHost& host_;
    DeviceLink& link_;
    ConsoleLinkView& view_;
    int seen_ = 0;
    bool finishing_ = false;
    bool stopped_ = false;
};

}  // namespace vrx::cli
