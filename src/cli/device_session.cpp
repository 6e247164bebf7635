#include "cli/device_session.h"

#include <cmath>
#include <sstream>

#include "ports/simulated_fault_names.h"
#include "ports/simulated_memory.h"
#include "protocol/midi_device_list.h"
#include "protocol/utf8_path.h"

namespace vrx::cli {

MidiPortOptions portOptions(const DeviceOptions& options) {
    MidiPortOptions ports;
    ports.api = options.midiApi;
    ports.withSimulator = options.simulator;
    return ports;
}

DeviceSession::DeviceSession(const DeviceOptions& options, SessionHost& host,
                             std::ostream& progress, int programNumber)
    : options_(options),
      host_(host),
      clock_(host.clock()),
      view_(progress, programNumber),
      ports_(clock_, portOptions(options)),
      link_(ports_.input(), ports_.output(), view_, clock_) {
    if (auto* unit = ports_.simulatedUnit()) {
        unit->faults().silent = options.simulatorSilent;
    }
    host_.portsOpened(ports_);
    if (options.trace) {
        traffic_.setLineSink([this](std::string_view line) { view_.printLine(line); });
        link_.setTrafficTap([this](TrafficDirection direction, ByteView message) {
            traffic_.record(direction, message);
        });
    }
}

DeviceSession::~DeviceSession() {
    link_.closePorts();
    host_.portsClosing(ports_);
}

std::optional<SessionFailure> DeviceSession::configurePorts() {
    if (auto* unit = ports_.simulatedUnit()) {
        for (const auto& fault : options_.simulatorFaults) {
            if (auto problem = applySimulatorFault(*unit, fault); !problem.empty()) {
                return SessionFailure{kExitBadInput, problem};
            }
        }
        if (!options_.simulatorMemory.empty()) {
            if (auto problem = keepSimulatorMemoryIn(*unit, pathFromUtf8(options_.simulatorMemory));
                !problem.empty()) {
                return SessionFailure{kExitBadInput, problem};
            }
        }
    } else if (!options_.simulatorFaults.empty()) {
        return SessionFailure{kExitBadInput, "--simulator-fault needs --simulator"};
    } else if (!options_.simulatorMemory.empty()) {
        return SessionFailure{kExitBadInput, "--simulator-memory needs --simulator"};
    }
    const int inPosition = options_.inPosition.value_or(ports_.simulatorInputPosition());
    const int outPosition = options_.outPosition.value_or(ports_.simulatorOutputPosition());
    if (inPosition == 0 || outPosition == 0) {
        return SessionFailure{kExitBadInput,
                              "give --in and --out as `vrxtool ports` numbers the devices, "
                              "or --simulator"};
    }
    const auto inputs = inputDeviceEntries(ports_.input());
    const auto outputs = outputDeviceEntries(ports_.output());
    for (const auto* list : {&inputs, &outputs}) {
        if (!list->error.empty()) {
            return SessionFailure{kExitFailed,
                                  std::string(kNoMidiCardMessage) + " (" + list->error + ")"};
        }
    }
    const auto inputCount = static_cast<int>(inputs.entries.size()) - 1;
    const auto outputCount = static_cast<int>(outputs.entries.size()) - 1;
    if (inPosition < 1 || inPosition > inputCount) {
        return SessionFailure{
            kExitBadInput,
            "there is no MIDI input #" + std::to_string(inPosition) + " (see vrxtool ports)"};
    }
    if (outPosition < 1 || outPosition > outputCount) {
        return SessionFailure{
            kExitBadInput,
            "there is no MIDI output #" + std::to_string(outPosition) + " (see vrxtool ports)"};
    }
    auto& setup = link_.midiSetup();
    setup.portInDevice = inPosition;
    setup.portOutDevice = outPosition;
    setup.midiConfigured = true;
    return std::nullopt;
}

bool DeviceSession::queueDrained() {
    auto& queue = link_.outputQueue();
    return queue.midiOutQueue().empty() && !queue.paused();
}

bool DeviceSession::awaitingAnswer() const {
    switch (link_.commState()) {
        case kStateAwaitingIdentity:
        case kStateRequestSent:
        case kStateReceiving:
            return true;
        default:
            return false;
    }
}

std::int64_t DeviceSession::wakeAtMs(std::int64_t nextTickMs) {
    std::int64_t wakeAt = nextTickMs;
    // What arrived by now was taken in before this tick; the next answer may come sooner.
    if (auto* unit = ports_.simulatedUnit(); unit != nullptr) {
        if (const auto arrival = unit->nextArrivalMs(); arrival && *arrival > clock_.nowMs()) {
            wakeAt = std::min(wakeAt, *arrival);
        }
    }
    return wakeAt;
}

std::optional<SessionFailure> DeviceSession::run(const std::function<bool()>& done) {
    const auto timeoutMs = static_cast<std::int64_t>(std::llround(options_.timeoutSeconds * 1000));
    std::int64_t nextTickMs = clock_.nowMs() + DeviceLink::kTickMs;
    std::int64_t silentSinceMs = clock_.nowMs();
    int lastState = link_.commState();
    std::size_t lastReceived = link_.receivedProgramData().data().size();
    bool requestOut = false;
    for (;;) {
        link_.dispatchMidiEvents();
        // Looked at before the tick sends anything more: what just arrived may end it.
        if (done()) {
            break;
        }
        const std::int64_t now = clock_.nowMs();
        if (now >= nextTickMs) {
            const std::int64_t pauseEnd = link_.outputQueue().pausedUntilMs();
            link_.mainTimerTick();
            nextTickMs = std::max(nextTickMs + DeviceLink::kTickMs, now + 1);
            // A message of a write went out: tick in step with it, so the tick that
            // ends its pause comes 600 ms after it, not up to a tick later.
            const std::int64_t newPauseEnd = link_.outputQueue().pausedUntilMs();
            if (newPauseEnd != pauseEnd) {
                nextTickMs = newPauseEnd - OutputQueue::kWritePauseMs + DeviceLink::kTickMs;
            }
        }
        if (link_.failure()) {
            view_.finish();
            return SessionFailure{kExitFailed, *link_.failure()};
        }
        if (view_.problem()) {
            view_.finish();
            return SessionFailure{kExitFailed, *view_.problem()};
        }
        // The unit is silent only once it owes an answer: from when the request has
        // gone out, after any pause of a write, to a new state, part of the Program Data
        // or an answer waiting in the input. The link's own retries are no answer.
        const std::size_t received = link_.receivedProgramData().data().size();
        const bool newState = link_.commState() != lastState;
        requestOut = !newState && awaitingAnswer() &&
                     (requestOut || link_.outputQueue().midiOutQueue().empty());
        if (!requestOut || received != lastReceived || ports_.input().queuedMessageCount() > 0) {
            silentSinceMs = now;
        }
        lastState = link_.commState();
        lastReceived = received;
        if (now - silentSinceMs > timeoutMs) {
            view_.finish();
            std::ostringstream message;
            message << "the unit did not answer within " << options_.timeoutSeconds
                    << " s: check the MIDI connections and that the VRX is turned on";
            return SessionFailure{kExitFailed, message.str()};
        }
        host_.waitUntil(wakeAtMs(nextTickMs));
    }
    view_.finish();
    return std::nullopt;
}

}  // namespace vrx::cli
