#include "cli/file_commands.h"

namespace vrx::cli {

void addFileCommands(CLI::App& /*app*/, int& /*exitStatus*/) {}

}  // namespace vrx::cli
