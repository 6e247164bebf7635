#include "cli/vrxtool_app.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/device_commands.h"
#include "cli/diff_command.h"
#include "cli/file_commands.h"
#include "cli/restore_command.h"

namespace vrx::cli {

namespace {

constexpr const char* kExitStatuses =
    "Exit status: 0 done; 1 the unit, the MIDI cable or an output failed, or Ctrl+C "
    "stopped it (the last line says what the VRX holds); 2 bad input, refused before "
    "anything was sent; 3 done, but the VRX did not get its restart message: switch it off "
    "and on.\nCtrl+C while a program's messages are going out lets them finish; a second "
    "Ctrl+C abandons them.";

}  // namespace

int runVrxtool(int argc, char** argv) {
    RealSessionHost host;
    return runVrxtool(argc, argv, host);
}

int runVrxtool(int argc, char** argv, SessionHost& host) {
    CLI::App app{"vrxtool: read, convert and write VRX configurations without the editor"};
    app.footer(kExitStatuses);
    app.set_version_flag("--version", std::string("vrxtool ") + VRX_VERSION);
    // --version answers on its own; every other use names one command.
    app.require_subcommand(0, 1);
    int exitStatus = 0;
    addFileCommands(app, exitStatus);
    bool trace = false;
    app.add_flag("--trace", trace,
                 "device commands: show every MIDI message in and out on stderr, named");
    const DeviceCommandContext deviceContext{host, trace, exitStatus};
    addDeviceCommands(app, deviceContext);
    addDiffCommand(app, exitStatus);
    addRestoreCommand(app, deviceContext);
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
