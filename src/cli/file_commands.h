#pragma once

#include <CLI/CLI.hpp>

namespace vrx::cli {

// export, import, show, sysex and unsysex: the commands that work on files only.
// Each sets `exitStatus` when it runs.
void addFileCommands(CLI::App& app, int& exitStatus);

}  // namespace vrx::cli
