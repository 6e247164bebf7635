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

namespace {

constexpr const char* kDeviceRules =
    "--timeout S: the device commands wait at most S seconds (10 unless given) for an answer "
    "the unit owes; the 600 ms between the messages of a write and the second the unit "
    "needs to restart never count.\n"
    "backup DIR: the programs are saved byte for byte as the unit holds them, into a folder "
    "beside DIR that takes DIR's place only when every program has arrived: a failed or "
    "interrupted backup leaves DIR as it was, and DIR never holds old and new programs "
    "mixed. A DIR that already holds program files is refused, naming them, unless "
    "--replace is given; its other files are kept.\n"
    "restore DIR: each file is sent byte for byte as kept; a format byte the unit's "
    "firmware does not ask for is converted, as a write converts it, and its summary line "
    "says so. A folder with a file beyond the programs the unit holds, two files for one "
    "program (program-001.vrx and program-0001.vrx), or an --only program without a file "
    "is refused, naming them, before anything is written.\n"
    "Ctrl+C while a program's messages are going out lets them finish (a restore begins no "
    "further program); a second Ctrl+C abandons them. The last line then says what the VRX "
    "holds: unchanged, possibly incomplete (write it again), or written but not verified.\n"
    "Exit status: 0 done; 1 the unit, the MIDI cable or a file failed, or Ctrl+C stopped "
    "it; 2 bad input, refused before anything was sent to the unit; 3 done (the file "
    "written, or the program written and verified), but the VRX did not get its restart "
    "message: switch it off and on.";

}  // namespace

int runVrxtool(int argc, char** argv) {
    RealSessionHost host;
    return runVrxtool(argc, argv, host);
}

int runVrxtool(int argc, char** argv, SessionHost& host) {
    CLI::App app{"vrxtool: read, convert and write VRX configurations without the editor"};
    app.footer(kDeviceRules);
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
    addSimulateCommand(app, exitStatus);
    addCheckCommand(app, deviceContext);
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
