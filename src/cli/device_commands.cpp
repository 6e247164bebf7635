#include "cli/device_commands.h"

namespace vrx::cli {

void addDeviceCommands(CLI::App& /*app*/, int& /*exitStatus*/) {}

}  // namespace vrx::cli
