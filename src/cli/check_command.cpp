#include "cli/check_command.h"

#include <chrono>
#include <iostream>
#include <memory>

#include "cli/device_commands.h"
#include "cli/interrupts.h"
#include "link/connection_check.h"
#include "link/kept_devices.h"
#include "protocol/midi_setup.h"

namespace vrx::cli {
namespace {

struct CheckOptions {
    DeviceOptions device;
    int rounds = 10;
};

constexpr auto kPoll = std::chrono::milliseconds(2);

// "MIDI In #2 (UM-ONE) and MIDI Out #3 (UM-ONE)", as MIDI I/O Setup numbers them.
std::string devicesText(MidiPortSet& ports, const MidiSetup& setup) {
    const auto named = [](const std::string& name) {
        return name.empty() ? std::string() : " (" + name + ")";
    };
    return "MIDI In #" + std::to_string(setup.portInDevice) +
           named(inputNameAt(ports.input(), setup.portInDevice)) + " and MIDI Out #" +
           std::to_string(setup.portOutDevice) +
           named(outputNameAt(ports.output(), setup.portOutDevice));
}

int runCheck(const CheckOptions& options, SessionHost& host) {
    DeviceSession session(options.device, host, std::cerr);
    if (auto failure = session.configurePorts()) {
        std::cerr << "vrxtool: " << failure->message << "\n";
        return failure->exitStatus;
    }
    auto& ports = session.ports();
    const auto& setup = session.link().midiSetup();
    auto& input = ports.input();
    auto& output = ports.output();
    input.selectDevice(inputDeviceForPosition(setup.portInDevice));
    output.selectDevice(outputDeviceForPosition(setup.portOutDevice));
    for (const auto& opened : {input.open(), output.open()}) {
        if (!opened) {
            std::cerr << "vrxtool: " << opened.error() << "\n";
            return kExitFailed;
        }
    }
    input.start();
    SteadyClock clock;
    ConnectionCheck check(options.rounds, clock,
                          [&](ByteView message) { return output.sendSysex(message); });
    input.setMessageHandler([&] {
        for (; input.queuedMessageCount() > 0; input.removeCurrentMessage()) {
            check.onMessage(input.currentMessage().sysex);
        }
    });
    std::cerr << "Checking the connection: " << options.rounds << " identity exchanges and "
              << options.rounds << " reads, nothing written...\n";
    check.start();
    const bool interrupted = pollUntilInterrupted(kPoll, [&] {
        input.dispatchEvents();
        check.tick();
        return check.finished();
    });
    if (interrupted) {
        std::cerr << "vrxtool: interrupted: the check is incomplete\n";
        return kExitFailed;
    }
    for (const auto& line : connectionVerdict(check.result(), devicesText(ports, setup))) {
        std::cout << line << "\n";
    }
    return connectionGood(check.result()) ? kExitOk : kExitFailed;
}

}  // namespace

void addCheckCommand(CLI::App& app, const DeviceCommandContext& context) {
    auto options = std::make_shared<CheckOptions>();
    auto* check = app.add_subcommand(
        "check",
        "Test the MIDI connection to the unit: identity exchanges and reads of its DIP-switch "
        "program (nothing is written), then what was received, lost, damaged or repeated, the "
        "round-trip times and what to do. Exit status 0 when every answer came whole, once");
    check->add_option("--rounds", options->rounds, "exchanges of each kind")
        ->check(CLI::Range(1, 1000))
        ->capture_default_str();
    addDeviceOptions(*check, options->device, false);
    check->callback([options, context] { context.exitStatus = runCheck(*options, context.host); });
    // The manual page is made from this help: the service choice belongs in it.
    app.footer(app.get_footer() + (app.get_footer().empty() ? "" : "\n\n") +
               "MIDI service (Linux): ports, read, write, backup, restore, check and simulate "
               "take --midi-api alsa|jack: the ALSA sequencer (the default) or a running JACK "
               "server. A missing service is one line naming it. `vrxtool simulate "
               "--midi-api jack` serves the simulated unit on JACK ports named \"VRX "
               "Simulator\" for any MIDI program; `vrxtool check --in I --out O` tells how "
               "well the connection to a unit carries its messages.");
}

}  // namespace vrx::cli
