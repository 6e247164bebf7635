#include "ports/simulated_fault_names.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <optional>

namespace vrx {
namespace {

// What follows a fault's name and "=": nothing, one number N, or two numbers N:MS.
enum class Numbers { none, one, two };

struct FaultName {
    std::string_view name;
    Numbers numbers;
    std::string_view help;
    std::function<void(SimulatedUnit&, int, int)> apply;
};

constexpr Numbers kNone = Numbers::none;
constexpr Numbers kOne = Numbers::one;

const std::array<FaultName, 13>& faultNames() {
    static const std::array<FaultName, 13> names = {{
        {"silent", kNone, "the unit answers nothing",
         [](SimulatedUnit& u, int, int) { u.faults().silent = true; }},
        {"ignore-requests", kOne, "the first N requests go unanswered",
         [](SimulatedUnit& u, int n, int) { u.faults().ignoredRequests = n; }},
        {"echo", kNone, "everything sent comes back, as on a MIDI loop",
         [](SimulatedUnit& u, int, int) { u.faults().echo = true; }},
        {"line-noise", kNone, "active sensing and clock bytes around and inside its messages",
         [](SimulatedUnit& u, int, int) { u.settings().behaviour.lineNoise = true; }},
        {"output-fails-after", kOne, "the MIDI output fails after N messages (cable pulled)",
         [](SimulatedUnit& u, int n, int) { u.settings().behaviour.outputFailsAfter = n; }},
        {"lose-answer", kOne, "the unit's N-th message never arrives",
         [](SimulatedUnit& u, int n, int) { u.settings().behaviour.lostAnswer = n; }},
        {"damage-answer", kOne, "one byte of the unit's N-th message arrives damaged",
         [](SimulatedUnit& u, int n, int) { u.settings().behaviour.damagedAnswer = n; }},
        {"drop-update", kOne, "the unit drops the N-th PROGRAM_UPDATE, as one that came too soon",
         [](SimulatedUnit& u, int n, int) { u.settings().behaviour.droppedUpdate = n; }},
        {"no-pacing-check", kNone, "store updates however close together they come",
         [](SimulatedUnit& u, int, int) { u.settings().behaviour.strictPacing = false; }},
        {"no-reboot-deafness", kNone, "hear messages at once after a reboot",
         [](SimulatedUnit& u, int, int) { u.settings().behaviour.deafAfterReboot = false; }},
        {"late-answer", Numbers::two, "the unit's N-th message arrives MS ms late",
         [](SimulatedUnit& u, int n, int ms) {
             u.settings().behaviour.lateAnswer = SimulatedBehaviour::LateAnswer{n, ms};
         }},
        {"silent-after-reboot", kOne, "after its N-th reboot the unit answers nothing",
         [](SimulatedUnit& u, int n, int) { u.settings().behaviour.silentAfterReboot = n; }},
        {"stray-replies", kNone,
         "another unit on the cable: unasked identity replies and other programs' data",
         [](SimulatedUnit& u, int, int) { u.settings().behaviour.strayReplies = true; }},
    }};
    return names;
}

std::string usage(const FaultName& fault) {
    return fault.numbers == Numbers::two ? "N:MS" : "N";
}

// A whole non-negative number, nothing before or after it.
std::optional<int> readNumber(std::string_view digits) {
    int n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || n < 0) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

std::string applySimulatorFault(SimulatedUnit& unit, std::string_view faultText) {
    const auto equals = faultText.find('=');
    const auto name = faultText.substr(0, equals);
    const auto* fault = std::ranges::find(faultNames(), name, &FaultName::name);
    if (fault == faultNames().end()) {
        return "there is no simulator fault \"" + std::string(name) + "\" (see --help)";
    }
    if (fault->numbers == kNone) {
        if (equals != std::string_view::npos) {
            return "the simulator fault " + std::string(name) + " takes no number";
        }
        fault->apply(unit, 0, 0);
        return {};
    }
    const auto text =
        equals == std::string_view::npos ? std::string_view{} : faultText.substr(equals + 1);
    const auto colon = text.find(':');
    const bool two = fault->numbers == Numbers::two;
    const auto first = readNumber(text.substr(0, colon));
    const auto second =
        colon == std::string_view::npos ? std::nullopt : readNumber(text.substr(colon + 1));
    if (!first || (two ? !second : colon != std::string_view::npos)) {
        return "the simulator fault " + std::string(name) + " needs " +
               (two ? "two numbers: " : "a number: ") + std::string(name) + "=" + usage(*fault);
    }
    fault->apply(unit, *first, second.value_or(0));
    return {};
}

std::string simulatorFaultHelp() {
    std::string help;
    for (const auto& fault : faultNames()) {
        help += "  " + std::string(fault.name) +
                (fault.numbers == kNone ? "" : "=" + usage(fault)) + ": " +
                std::string(fault.help) + "\n";
    }
    return help;
}

}  // namespace vrx
