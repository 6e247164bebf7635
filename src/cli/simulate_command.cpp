#include "cli/simulate_command.h"

#include <chrono>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/device_commands.h"
#include "cli/interrupts.h"
#include "link/traffic_history.h"
#include "ports/simulated_fault_names.h"
#include "ports/simulated_memory.h"
#include "ports/simulated_ports.h"
#include "ports/simulated_unit.h"
#include "ports/virtual_unit_ports.h"
#include "protocol/clock.h"

namespace vrx::cli {
namespace {

struct SimulateOptions {
    MidiApi api = MidiApi::kAlsa;
    std::string name = kSimulatorDeviceName;
    std::vector<std::string> faults;
    std::string memory;  // --simulator-memory
    bool trace = false;
};

// Messages are taken and answers handed on this often: well inside the time a
// message's bytes take on a MIDI cable.
constexpr auto kPoll = std::chrono::milliseconds(1);

// The steady clock, or for a moment the time a message came off the port: the unit
// times what it hears by its arrival, however late the loop gets to it.
class ArrivalClock final : public Clock {
public:
    std::int64_t nowMs() const override { return pinnedMs_.value_or(steady_.nowMs()); }
    void pin(std::optional<std::int64_t> ms) { pinnedMs_ = ms; }

private:
    SteadyClock steady_;
    std::optional<std::int64_t> pinnedMs_;
};

int runSimulate(const SimulateOptions& options) {
    ArrivalClock clock;
    SimulatedUnit unit(clock);
    for (const auto& fault : options.faults) {
        if (auto problem = applySimulatorFault(unit, fault); !problem.empty()) {
            std::cerr << "vrxtool: " << problem << "\n";
            return kExitBadInput;
        }
    }
    if (!options.memory.empty()) {
        if (auto problem = keepSimulatorMemoryIn(unit, options.memory); !problem.empty()) {
            std::cerr << "vrxtool: " << problem << "\n";
            return kExitBadInput;
        }
    }
    auto ports = VirtualUnitPorts::open(options.api, options.name);
    if (!ports) {
        std::cerr << "vrxtool: " << ports.error() << "\n";
        return kExitFailed;
    }
    TrafficHistory traffic(clock, 0);
    if (options.trace) {
        traffic.setLineSink([](std::string_view line) { std::cerr << line << "\n"; });
    }
    // Scripts wait for this line: the ports are there once it is out.
    std::cout << "The simulated VRX unit listens on \"" << (*ports)->toUnitName()
              << "\" and answers on \"" << (*ports)->fromUnitName() << "\" ("
              << midiApiTitle(options.api) << "). Ctrl+C ends it." << std::endl;
    pollUntilInterrupted(kPoll, [&] {
        for (const auto& [atMs, message] : (*ports)->takeReceived()) {
            clock.pin(atMs);
            traffic.record(TrafficDirection::kOut, message);
            // A cable pulled after some messages: the unit hears no more.
            if (unit.cableCarriesNextMessage()) {
                unit.receive(message);
            }
            clock.pin(std::nullopt);
        }
        // The driver on the program's side takes real-time bytes out of SysEx.
        for (const auto& message : separateRealTimeBytes(unit.takeArrived())) {
            traffic.record(TrafficDirection::kIn, message);
            if (auto sent = (*ports)->send(message); !sent) {
                std::cerr << "vrxtool: an answer could not be sent: " << sent.error() << "\n";
            }
        }
        return false;  // only an interrupt ends the unit's service
    });
    return kExitOk;
}

}  // namespace

void addSimulateCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<SimulateOptions>();
    auto* simulate = app.add_subcommand(
        "simulate",
        "Serve the simulated VRX unit on MIDI ports of the service, named \"VRX Simulator\", "
        "until Ctrl+C or SIGTERM: any MIDI program, vrxconfig included, then talks to it as "
        "to a unit on a cable");
    addMidiApiOption(*simulate, options->api);
    simulate->add_option("--name", options->name, "the name of the two ports")
        ->capture_default_str();
    simulate->add_option(
        "--simulator-fault", options->faults,
        "make the unit misbehave; repeatable. NAME[=N] is one of:\n" + simulatorFaultHelp());
    simulate
        ->add_option("--simulator-memory", options->memory,
                     "keep the unit's programs in DIR as program-NNN.vrx, as a backup writes "
                     "them: it starts with those found there and writes each program it "
                     "stores back")
        ->type_name("DIR");
    simulate->add_flag("--trace", options->trace,
                       "one line per message in and out on stderr, named");
    simulate->callback([options, &exitStatus] { exitStatus = runSimulate(*options); });
}

}  // namespace vrx::cli
