#include "cli/platform_console.h"

namespace vrx::cli {

// The arguments are the bytes the shell passed, UTF-8 on any current system, and the
// streams never change what goes through them.
std::vector<std::string> prepareConsole(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace vrx::cli
