#pragma once

#include <CLI/CLI.hpp>

namespace vrx::cli {

// ports, read, write and backup: the commands that talk to a unit.
// Each sets `exitStatus` when it runs.
void addDeviceCommands(CLI::App& app, int& exitStatus);

}  // namespace vrx::cli
