#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/console_link_view.h"
#include "cli/session_host.h"
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
constexpr int kExitFailed = 1;  // the unit, the cable or a file failed, or Ctrl+C stopped it
// kExitBadInput (2): see cli_io.h.
// Done, but the unit did not get the restart message that ends the exchange: the
// file was written, or the program written and verified; switch the VRX off and on.
constexpr int kExitRestartMissing = 3;

struct SessionFailure {
    int exitStatus;
    std::string message;
};

// One run of the device link against a unit, the way the program runs it: a 100 ms
// timer and MIDI input looked at in between, on the host's clock.
class DeviceSession {
public:
    DeviceSession(const DeviceOptions& options, SessionHost& host, std::ostream& progress,
                  int programNumber = 0);
    // The ports are closed on every way out, failures included.
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Chooses the ports from --in and --out (the simulated unit's when they are not
    // given and --simulator is), and sets the simulated unit's faults.
    std::optional<SessionFailure> configurePorts();
    // Runs the link until `done` holds. Fails with the link's own line when the unit
    // stopped answering or a write could not be sent, when an answer the unit owes has
    // not come within the timeout (the pacing of a write and the unit's restart are not
    // waiting for an answer), or when something else went wrong on the way.
    std::optional<SessionFailure> run(const std::function<bool()>& done);

    DeviceLink& link() { return link_; }
    ConsoleLinkView& view() { return view_; }
    MidiPortSet& ports() { return ports_; }
    bool queueDrained();

private:
    // The link waits for an answer of the unit.
    bool awaitingAnswer() const;
    std::int64_t wakeAtMs(std::int64_t nextTickMs);

    const DeviceOptions& options_;
    SessionHost& host_;
    const Clock& clock_;
    ConsoleLinkView view_;
    MidiPortSet ports_;
    DeviceLink link_;
    // Names the messages for --trace; a trace keeps nothing, it prints as they pass.
    TrafficHistory traffic_{clock_, 0};
};

}  // namespace vrx::cli
