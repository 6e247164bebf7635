#include "cli/cli_io.h"

#include <cstdio>
#include <iostream>
#include <variant>

#include "files/app_paths.h"
#include "files/atomic_file.h"
#include "files/config_file.h"
#include "files/platform_files.h"
#include "protocol/utf8_path.h"

namespace vrx::cli {

std::string joinedWith(const std::vector<std::string>& items, std::string_view separator) {
    std::string text;
    for (const auto& item : items) {
        text += (text.empty() ? "" : std::string(separator)) + item;
    }
    return text;
}

namespace {

std::string named(const std::string& path) {
    return path + ": ";
}

}  // namespace

int fail(int status, std::string_view message) {
    std::cerr << "vrxtool: " << message << '\n';
    return status;
}

Result<std::string> readInput(const std::string& path) {
    auto contents = readWholeFile(pathFromUtf8(path));
    if (!contents) {
        return Result<std::string>::failure(named(path) + "cannot read: " + contents.error());
    }
    return contents;
}

Result<Bytes> readImageFile(const std::string& path) {
    const auto contents = readInput(path);
    if (!contents) {
        return Result<Bytes>::failure(contents.error());
    }
    auto parsed = parseConfigFile(*contents);
    if (auto* failure = std::get_if<ConversionFailure>(&parsed)) {
        return Result<Bytes>::failure(named(path) + "line " + std::to_string(failure->line) + ": " +
                                      failure->reason);
    }
    if (std::holds_alternative<NoDataLine>(parsed)) {
        return Result<Bytes>::failure(named(path) +
                                      "no data line: no line holds the 779 characters of a "
                                      "Program Data image");
    }
    return std::get<Bytes>(std::move(parsed));
}

int writeOutput(const std::string& path, std::string_view contents) {
    const auto written = writeFileAtomically(pathFromUtf8(path), contents);
    if (!written) {
        return fail(kExitOutputFailed, named(path) + "cannot write: " + written.error());
    }
    return kExitSuccess;
}

int printOutput(std::string_view text) {
    std::cout << text << std::flush;
    if (!std::cout) {
        return fail(kExitOutputFailed, "cannot write to standard output");
    }
    return kExitSuccess;
}

NameList instrumentNamesBesideProgram() {
    std::error_code error;
    auto folder = platform::runningExecutableFolder();
    if (folder.empty()) {
        folder = std::filesystem::current_path(error);
    }
    // Beside vrxtool in an unpacked copy, in <prefix>/share/vrxconfig when installed.
    AppPaths paths;
    paths.executableFolder = folder;
    paths.installedDataFolder = folder.parent_path() / kInstalledDataFolder;
    // vrxtool keeps no log: a missing file simply gives the numbered list.
    return loadInstrumentNames(utf8FromPath(paths.resourceFile(kInstrumentFileName)));
}

}  // namespace vrx::cli
