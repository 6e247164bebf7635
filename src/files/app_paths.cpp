#include "files/app_paths.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <system_error>

#include "files/atomic_file.h"
#include "files/platform_files.h"
#include "protocol/text_lines.h"
#include "protocol/utf8_path.h"

namespace vrx {
namespace {

constexpr std::string_view kConfigFolderName = "VRXConfig";
constexpr std::string_view kUnpackedDocFolder = "docs";
constexpr std::string_view kUserDirsFileName = "user-dirs.dirs";
constexpr std::string_view kDocumentsEntry = "XDG_DOCUMENTS_DIR=";
constexpr std::string_view kHomeVariable = "$HOME";

// Whether a file can be created in the folder: permission bits do not tell, for the
// superuser or on a read-only mount.
bool folderIsWritable(const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return false;
    }
    std::random_device seed;
    const auto probe = folder / (".vrxconfig-probe-" + std::to_string(seed() % 1000000));
    std::FILE* file = platform::openFile(probe, "wbx");
    if (!file) {
        return false;
    }
    std::fclose(file);
    std::filesystem::remove(probe, error);
    return true;
}

// The documents folder as user-dirs.dirs names it: XDG_DOCUMENTS_DIR="$HOME/Documents".
std::string documentsFromUserDirs(const UserEnvironment& environment) {
    const auto folder = userConfigFolder(environment);
    if (folder.empty()) {
        return {};
    }
    const auto contents = readWholeFile(folder / kUserDirsFileName);
    if (!contents) {
        return {};
    }
    for (auto line : textLines(*contents)) {
        if (!line.starts_with(kDocumentsEntry)) {
            continue;
        }
        line.remove_prefix(kDocumentsEntry.size());
        if (line.size() < 2 || line.front() != '"' || line.find('"', 1) == std::string_view::npos) {
            continue;
        }
        line = line.substr(1, line.find('"', 1) - 1);
        if (line.starts_with(kHomeVariable)) {
            return environment.home + std::string(line.substr(kHomeVariable.size()));
        }
        return std::string(line);
    }
    return {};
}

bool isSeparator(char c) {
    return c == '/' || c == static_cast<char>(std::filesystem::path::preferred_separator);
}

bool isFolder(const std::string& path) {
    std::error_code error;
    const auto folder = pathFromUtf8(path);
    return folder.is_absolute() && std::filesystem::is_directory(folder, error);
}

}  // namespace

std::filesystem::path userConfigFolder(const UserEnvironment& environment) {
    const auto configHome = pathFromUtf8(environment.xdgConfigHome);
    if (configHome.is_absolute()) {
        return configHome;
    }
    if (environment.home.empty()) {
        return {};
    }
    return pathFromUtf8(environment.home) / ".config";
}

std::string getSpecialFolder(int folder, const UserEnvironment& environment) {
    if (folder != kDocumentsFolder) {
        return {};
    }
    for (const auto& candidate :
         {environment.xdgDocumentsDir, documentsFromUserDirs(environment)}) {
        if (isFolder(candidate)) {
            auto path = utf8FromPath(pathFromUtf8(candidate).lexically_normal());
            while (path.size() > 1 && isSeparator(path.back())) {
                path.pop_back();
            }
            return path;
        }
    }
    return environment.home;
}

std::filesystem::path AppPaths::resourceFile(std::string_view name) const {
    std::error_code error;
    const auto beside = executableFolder / name;
    if (std::filesystem::exists(beside, error)) {
        return beside;
    }
    return installedDataFolder / name;
}

bool isInstalledProgram(const std::filesystem::path& executableFolder,
                        const std::filesystem::path& installPrefix) {
    std::error_code error;
    return executableFolder.lexically_normal() == (installPrefix / "bin").lexically_normal() &&
           std::filesystem::is_directory(installPrefix / kInstalledDataFolder, error);
}

std::filesystem::path AppPaths::userGuideFile() const {
    std::error_code error;
    const auto beside = executableFolder / kUnpackedDocFolder / kUserGuideFileName;
    if (std::filesystem::exists(beside, error)) {
        return beside;
    }
    return installedDocFolder / kUserGuideFileName;
}

AppPaths decideAppPaths(const std::filesystem::path& executableFolder,
                        const std::filesystem::path& installPrefix,
                        const UserEnvironment& environment) {
    auto settingsFolder = executableFolder;
    // An installed program keeps them per user even where its folder happens to be
    // writable (~/.local/bin, or /usr/local/bin for root): otherwise the first user who
    // could write there would share their settings with everyone.
    if (isInstalledProgram(executableFolder, installPrefix) ||
        !folderIsWritable(executableFolder)) {
        if (const auto configFolder = userConfigFolder(environment); !configFolder.empty()) {
            settingsFolder = configFolder / kConfigFolderName;
            std::error_code error;
            std::filesystem::create_directories(settingsFolder, error);
        }
    }
    return AppPaths{settingsFolder / kSettingsFileName, settingsFolder / kLogFileName,
                    executableFolder, installPrefix / kInstalledDataFolder,
                    installPrefix / kInstalledDocFolder};
}

}  // namespace vrx
