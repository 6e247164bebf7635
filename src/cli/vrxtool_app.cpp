#include "cli/vrxtool_app.h"

#include <CLI/CLI.hpp>

namespace vrx::cli {

int runVrxtool(int argc, char** argv) {
    CLI::App app{"vrxtool: read, convert and write VRX configurations without the editor"};
    app.require_subcommand(1);
    CLI11_PARSE(app, argc, argv);
    return 0;
}

}  // namespace vrx::cli
