#include <string>
#include <vector>

#include "cli/platform_console.h"
#include "cli/vrxtool_app.h"

int main(int argc, char** argv) {
    auto arguments = vrx::cli::prepareConsole(argc, argv);
    std::vector<char*> pointers;
    for (auto& argument : arguments) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    return vrx::cli::runVrxtool(static_cast<int>(arguments.size()), pointers.data());
}
