#pragma once

#include <CLI/CLI.hpp>

namespace vrx::cli {

// `vrxtool diff A.vrx B.vrx [--json]`: what differs, in the editor's words. As diff(1)
// does, the status is 0 when the two are the same, 1 when they differ and 2 when an
// input is missing or no configuration.
void addDiffCommand(CLI::App& app, int& exitStatus);

}  // namespace vrx::cli
