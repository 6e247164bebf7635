#include "cli/interrupts.h"

#include <csignal>

namespace vrx::cli {
namespace {

// A signal handler can reach nothing but static storage of this type.
volatile std::sig_atomic_t interruptCount = 0;

struct sigaction previousInt;
struct sigaction previousTerm;

extern "C" void countInterrupt(int /*signal*/) {
    interruptCount = interruptCount + 1;
}

}  // namespace

InterruptCounter::InterruptCounter() {
    interruptCount = 0;
    struct sigaction counting = {};
    counting.sa_handler = countInterrupt;
    sigemptyset(&counting.sa_mask);
    sigaction(SIGINT, &counting, &previousInt);
    sigaction(SIGTERM, &counting, &previousTerm);
}

InterruptCounter::~InterruptCounter() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

int InterruptCounter::count() const {
    return static_cast<int>(interruptCount);
}

}  // namespace vrx::cli
