#pragma once

#include <CLI/CLI.hpp>

#include "cli/device_commands.h"

namespace vrx::cli {

// check: how well the MIDI connection to the unit carries its messages.
void addCheckCommand(CLI::App& app, const DeviceCommandContext& context);

}  // namespace vrx::cli
