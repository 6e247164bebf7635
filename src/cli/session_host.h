#pragma once

#include <cstdint>
#include <optional>

#include "cli/interrupts.h"
#include "ports/midi_port_set.h"
#include "protocol/clock.h"

namespace vrx::cli {

// What a device command needs from outside the link: the clock it runs on, a way to
// wait for the next tick or answer, and the user's Ctrl+C. vrxtool runs on the real
// clock; the tests run whole commands in virtual time with interrupts at chosen moments.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    virtual const Clock& clock() const = 0;
    // Waits until `ms` on the clock at the latest; MIDI input may end the wait sooner.
    virtual void waitUntil(std::int64_t ms) = 0;
    // From now on Ctrl+C and SIGTERM are counted instead of ending the program.
    virtual void catchInterrupts() = 0;
    virtual int interrupts() const = 0;
    // A session's ports were made, and are about to go: a test seeds and reads the
    // simulated unit here.
    virtual void portsOpened(MidiPortSet& /*ports*/) {}
    virtual void portsClosing(MidiPortSet& /*ports*/) {}
};

// The real clock; input is looked at every few milliseconds between timer ticks.
class RealSessionHost final : public SessionHost {
public:
    const Clock& clock() const override { return clock_; }
    void waitUntil(std::int64_t ms) override;
    void catchInterrupts() override;
    int interrupts() const override { return counter_ ? counter_->count() : 0; }

private:
    SteadyClock clock_;
    std::optional<InterruptCounter> counter_;
};

}  // namespace vrx::cli
