#include "ports/incoming_mailbox.h"

namespace vrx {

template <typename Change>
void IncomingMailbox::notifyOnce(Change change) {
    bool notify = false;
    {
        const std::lock_guard lock(mutex_);
        change();
        notify = !notified_;
        notified_ = true;
    }
    if (notify && notifier_) {
        notifier_();
    }
}

void IncomingMailbox::post(Bytes message) {
    notifyOnce([&] { pending_.push_back(std::move(message)); });
}

void IncomingMailbox::wake() {
    notifyOnce([] {});
}

std::vector<Bytes> IncomingMailbox::takeAll() {
    const std::lock_guard lock(mutex_);
    std::vector<Bytes> taken;
    taken.swap(pending_);
    notified_ = false;
    return taken;
}

}  // namespace vrx
