#include "ports/jack_cycle.h"

#include <chrono>
#include <thread>

#if defined(__linux__)
#include <jack/jack.h>
#endif

#include "ports/midi_service.h"

namespace vrx {
namespace {

// A cycle of the clients is done well within this after it began.
constexpr auto kCycleRuns = std::chrono::milliseconds(2);
// Longer than the largest period JACK is run with (8192 frames at 44.1 kHz), and than
// a server held up by a busy machine usually takes.
constexpr auto kLongestCycle = std::chrono::milliseconds(1000);
constexpr auto kPoll = std::chrono::microseconds(500);

}  // namespace

struct JackCycleWait::Client {
#if defined(__linux__)
    jack_client_t* jack = nullptr;
#endif
};

JackCycleWait::JackCycleWait() : client_(std::make_unique<Client>()) {
#if defined(__linux__)
    silenceMidiLibraries();
    client_->jack = jack_client_open("VRXConfig pacing", JackNoStartServer, nullptr);
#endif
}

JackCycleWait::~JackCycleWait() {
#if defined(__linux__)
    if (client_->jack != nullptr) {
        jack_client_close(client_->jack);
    }
#endif
}

void JackCycleWait::untilNextCycleRan() {
#if defined(__linux__)
    if (client_->jack == nullptr) {
        return;
    }
    // The cycle that carries the message is the next one to begin.
    const auto started = jack_last_frame_time(client_->jack);
    const auto giveUp = std::chrono::steady_clock::now() + kLongestCycle;
    while (jack_last_frame_time(client_->jack) == started &&
           std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kPoll);
    }
    std::this_thread::sleep_for(kCycleRuns);
#endif
}

}  // namespace vrx
