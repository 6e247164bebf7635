#pragma once

#include <filesystem>
#include <string>

#include "ports/simulated_unit.h"

namespace vrx {

// Keeps a simulated unit's programs in a folder, as a backup writes them
// (program-NNN.vrx): the unit starts with the programs found there instead of its
// built-in ones, and every program a PROGRAM_UPDATE changes is written back at once, so
// a rehearsal survives a restart and a test can give the unit any bytes. A missing
// folder is made. The text says why the folder cannot be used; it is empty when it can.
std::string keepSimulatorMemoryIn(SimulatedUnit& unit, const std::filesystem::path& folder);

}  // namespace vrx
