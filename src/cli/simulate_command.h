#pragma once

#include <CLI/CLI.hpp>

namespace vrx::cli {

// simulate: the simulated unit on ports of the MIDI service, for any MIDI program.
void addSimulateCommand(CLI::App& app, int& exitStatus);

}  // namespace vrx::cli
