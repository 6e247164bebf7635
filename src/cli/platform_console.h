#pragma once

#include <string>
#include <vector>

namespace vrx::cli {

// The command line as UTF-8 text, whatever the system's code page, and standard
// streams that pass vrxtool's bytes unchanged, so that its output is the same on every
// system. Call once, first thing in main.
std::vector<std::string> prepareConsole(int argc, char** argv);

}  // namespace vrx::cli
