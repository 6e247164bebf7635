#pragma once

#include <CLI/CLI.hpp>

namespace vrx::cli {

// restore DIR: writes the folder's program-NNN.vrx files into the unit, each verified.
void addRestoreCommand(CLI::App& app, int& exitStatus);

}  // namespace vrx::cli
