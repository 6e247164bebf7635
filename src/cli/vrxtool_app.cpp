#include "cli/vrxtool_app.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/check_command.h"
#include "cli/device_commands.h"
#include "cli/diff_command.h"
#include "cli/file_commands.h"
#include "cli/restore_command.h"
#include "cli/simulate_command.h"

namespace vrx::cli {

int runVrxtool(int argc, char** argv) {
    CLI::App app{"vrxtool: read, convert and write VRX configurations without the editor"};
    app.set_version_flag("--version", std::string("vrxtool ") + VRX_VERSION);
    // --version answers on its own; every other use names one command.
    app.require_subcommand(0, 1);
    int exitStatus = 0;
    addFileCommands(app, exitStatus);
    addDeviceCommands(app, exitStatus);
    addDiffCommand(app, exitStatus);
    addRestoreCommand(app, exitStatus);
    addSimulateCommand(app, exitStatus);
    addCheckCommand(app, exitStatus);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Usage errors are bad input like any other: status 2.
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }
    if (app.get_subcommands().empty()) {
        std::cerr << app.help();
        return 2;
    }
    return exitStatus;
}

}  // namespace vrx::cli
