#include "ports/incoming_mailbox.h"

namespace vrx {

void IncomingMailbox::post(Bytes message) {
    bool notify = false;
    {
        const std::lock_guard lock(mutex_);
        pending_.push_back(std::move(message));
        notify = !notified_;
        notified_ = true;
    }
    if (notify && notifier_) {
        notifier_();
    }
}

std::vector<Bytes> IncomingMailbox::takeAll() {
    const std::lock_guard lock(mutex_);
    std::vector<Bytes> taken;
    taken.swap(pending_);
    notified_ = false;
    return taken;
}

}  // namespace vrx
