#include "ports/simulated_fault_names.h"

#include <array>
#include <charconv>
#include <functional>

namespace vrx {
namespace {

struct FaultName {
    std::string_view name;
    bool takesNumber;
    std::string_view help;
    std::function<void(SimulatedUnit&, int)> apply;
};

const std::array<FaultName, 10>& faultNames() {
    static const std::array<FaultName, 10> names = {{
        {"silent", false, "the unit answers nothing",
         [](SimulatedUnit& u, int) { u.faults().silent = true; }},
        {"ignore-requests", true, "the first N requests go unanswered",
         [](SimulatedUnit& u, int n) { u.faults().ignoredRequests = n; }},
        {"echo", false, "everything sent comes back, as on a MIDI loop",
         [](SimulatedUnit& u, int) { u.faults().echo = true; }},
        {"line-noise", false, "active sensing and clock bytes around and inside its messages",
         [](SimulatedUnit& u, int) { u.settings().behaviour.lineNoise = true; }},
        {"output-fails-after", true, "the MIDI output fails after N messages (cable pulled)",
         [](SimulatedUnit& u, int n) { u.settings().behaviour.outputFailsAfter = n; }},
        {"lose-answer", true, "the unit's N-th message never arrives",
         [](SimulatedUnit& u, int n) { u.settings().behaviour.lostAnswer = n; }},
        {"damage-answer", true, "one byte of the unit's N-th message arrives damaged",
         [](SimulatedUnit& u, int n) { u.settings().behaviour.damagedAnswer = n; }},
        {"drop-update", true, "the unit drops the N-th PROGRAM_UPDATE, as one that came too soon",
         [](SimulatedUnit& u, int n) { u.settings().behaviour.droppedUpdate = n; }},
        {"no-pacing-check", false, "store updates however close together they come",
         [](SimulatedUnit& u, int) { u.settings().behaviour.strictPacing = false; }},
        {"no-reboot-deafness", false, "hear messages at once after a reboot",
         [](SimulatedUnit& u, int) { u.settings().behaviour.deafAfterReboot = false; }},
    }};
    return names;
}

}  // namespace

std::string applySimulatorFault(SimulatedUnit& unit, std::string_view faultText) {
    const auto equals = faultText.find('=');
    const auto name = faultText.substr(0, equals);
    for (const auto& fault : faultNames()) {
        if (fault.name != name) {
            continue;
        }
        if (!fault.takesNumber) {
            if (equals != std::string_view::npos) {
                return "the simulator fault " + std::string(name) + " takes no number";
            }
            fault.apply(unit, 0);
            return {};
        }
        const auto digits =
            equals == std::string_view::npos ? std::string_view{} : faultText.substr(equals + 1);
        int n = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
            n < 0) {
            return "the simulator fault " + std::string(name) +
                   " needs a number: " + std::string(name) + "=N";
        }
        fault.apply(unit, n);
        return {};
    }
    return "there is no simulator fault \"" + std::string(name) + "\" (see --help)";
}

std::string simulatorFaultHelp() {
    std::string help;
    for (const auto& fault : faultNames()) {
        help += "  " + std::string(fault.name) + (fault.takesNumber ? "=N" : "") + ": " +
                std::string(fault.help) + "\n";
    }
    return help;
}

}  // namespace vrx
