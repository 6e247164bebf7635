#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "protocol/bytes.h"

namespace vrx {

// Hands messages from the MIDI driver's thread to the user-interface thread. The driver
// thread posts copies of the bytes; the first post after the mailbox was emptied calls
// the notifier (still on the driver thread), which must only arrange for `takeAll` to
// run on the user-interface thread: the program posts an event to its loop, vrxtool
// simply polls. Nothing is ever sent or closed from the driver thread.
class IncomingMailbox {
public:
    explicit IncomingMailbox(std::function<void()> notifier) : notifier_(std::move(notifier)) {}

    void post(Bytes message);
    // Has `takeAll` called without a message: the driver thread wants the user-interface
    // thread for work of its own (giving WinMM its buffers back).
    void wake();
    std::vector<Bytes> takeAll();

private:
    // Runs `change` under the lock, then the notifier if this batch has not had it yet.
    template <typename Change>
    void notifyOnce(Change change);

    std::mutex mutex_;
    std::vector<Bytes> pending_;
    bool notified_ = false;
    std::function<void()> notifier_;
};

}  // namespace vrx
