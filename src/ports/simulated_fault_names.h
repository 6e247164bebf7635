#pragma once

#include <string>
#include <string_view>

#include "ports/simulated_unit.h"

namespace vrx {

// Sets one behaviour or fault of a simulated unit from its name on vrxtool's command
// line, NAME or NAME=N, so a support person can rehearse a failure without hardware.
// The text says what is wrong with `faultText`; it is empty when the fault was set.
std::string applySimulatorFault(SimulatedUnit& unit, std::string_view faultText);
// The names with what each does, one per line, for --help.
std::string simulatorFaultHelp();

}  // namespace vrx
