#pragma once

#include <memory>

namespace vrx {

// JACK hands a client's MIDI to the others at the start of its next cycle, so a message
// leaves up to a period (21 ms at the usual 1024 frames) after it was sent. The unit
// counts its 600 ms between the messages as they arrive: a write waits here after each
// message until it has left, and its pause then starts when the unit's does.
class JackCycleWait {
public:
    // Watches the server's cycles through a client of its own; without a server it waits
    // for nothing.
    JackCycleWait();
    ~JackCycleWait();
    JackCycleWait(const JackCycleWait&) = delete;
    JackCycleWait& operator=(const JackCycleWait&) = delete;

    // Returns once the server has begun a new cycle and run it.
    void untilNextCycleRan();

private:
    struct Client;
    std::unique_ptr<Client> client_;
};

}  // namespace vrx
