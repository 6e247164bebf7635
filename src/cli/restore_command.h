#pragma once

#include <CLI/CLI.hpp>

#include "cli/device_commands.h"

namespace vrx::cli {

// restore DIR: writes the folder's program-NNN.vrx files into the unit, each verified.
void addRestoreCommand(CLI::App& app, const DeviceCommandContext& context);

}  // namespace vrx::cli
