#include <windows.h>
// after windows.h, which they need
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <filesystem>

#include "cli/platform_console.h"
#include "protocol/utf8_path.h"

namespace vrx::cli {

std::vector<std::string> prepareConsole(int argc, char** argv) {
    // Text mode would write every line end as CR LF: a file written through a
    // redirection, or a CSV with its own CR LF, would then differ from the one vrxtool
    // writes anywhere else.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // vrxtool writes UTF-8 ("→" in a diff); a console shows it as such only when told.
    SetConsoleOutputCP(CP_UTF8);
    // Names beyond the system's code page arrive only in the wide command line.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8FromPath(std::filesystem::path(wide[i])));
    }
    LocalFree(wide);
    return arguments;
}

}  // namespace vrx::cli
