#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/console_link_view.h"
#include "link/device_link.h"
#include "link/traffic_history.h"
#include "ports/midi_port_set.h"
#include "protocol/clock.h"

namespace vrx::cli {

// What the device commands share on their command lines.
struct DeviceOptions {
    std::optional<int> inPosition;     // --in, as `vrxtool ports` numbers the inputs
    std::optional<int> outPosition;    // --out
    MidiApi midiApi = MidiApi::kAlsa;  // --midi-api
    bool simulator = false;
    bool simulatorSilent = false;              // a simulated unit that never answers
    std::vector<std::string> simulatorFaults;  // --simulator-fault NAME[=N]
    std::string simulatorMemory;               // --simulator-memory DIR
    double timeoutSeconds = 10;
    bool trace = false;  // --trace: every message in and out, named, on stderr
};

// The ports the options ask for: the service, and the simulated unit or not.
MidiPortOptions portOptions(const DeviceOptions& options);

// Exit statuses of vrxtool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadInput = 2;

struct SessionFailure {
    int exitStatus;
    std::string message;
};

// One run of the device link against a unit, on the real clock, the way the program
// runs it: a 100 ms timer and MIDI input polled in between.
class DeviceSession {
public:
    DeviceSession(const DeviceOptions& options, std::ostream& progress, int programNumber = 0);
    // The ports are closed on every way out, failures included.
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Chooses the ports from --in and --out (the simulated unit's when they are not
    // given and --simulator is), and sets the simulated unit's faults.
    std::optional<SessionFailure> configurePorts();
    // Runs the link until `done` holds. Fails with the link's own line when the unit
    // stopped answering or a write could not be sent, when the unit has not moved the
    // link on for the timeout, or when something else went wrong on the way.
    std::optional<SessionFailure> run(const std::function<bool()>& done);

    DeviceLink& link() { return link_; }
    ConsoleLinkView& view() { return view_; }
    MidiPortSet& ports() { return ports_; }
    bool queueDrained();

private:
    const DeviceOptions& options_;
    SteadyClock clock_;
    ConsoleLinkView view_;
    MidiPortSet ports_;
    DeviceLink link_;
    // Names the messages for --trace; a trace keeps nothing, it prints as they pass.
    TrafficHistory traffic_{clock_, 0};
};

}  // namespace vrx::cli
