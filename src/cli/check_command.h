#pragma once

#include <CLI/CLI.hpp>

namespace vrx::cli {

// check: how well the MIDI connection to the unit carries its messages.
void addCheckCommand(CLI::App& app, int& exitStatus);

}  // namespace vrx::cli
