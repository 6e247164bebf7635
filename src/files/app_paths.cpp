#include "files/app_paths.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <system_error>

#include "files/atomic_file.h"
#include "protocol/text_lines.h"

namespace vrx {
namespace {

constexpr std::string_view kConfigFolderName = "VRXConfig";
constexpr std::string_view kUserDirsFileName = "user-dirs.dirs";
constexpr std::string_view kDocumentsEntry = "XDG_DOCUMENTS_DIR=";
constexpr std::string_view kHomeVariable = "$HOME";

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// Whether a file can be created in the folder: permission bits do not tell, for the
// superuser or on a read-only mount.
bool folderIsWritable(const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return false;
    }
    std::random_device seed;
    const auto probe = folder / (".vrxconfig-probe-" + std::to_string(seed() % 1000000));
    std::FILE* file = std::fopen(probe.string().c_str(), "wbx");
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

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::path(path).is_absolute() && std::filesystem::is_directory(path, error);
}

}  // namespace

UserEnvironment readUserEnvironment() {
    return UserEnvironment{environmentValue("HOME"), environmentValue("XDG_CONFIG_HOME"),
                           environmentValue("XDG_DOCUMENTS_DIR")};
}

std::filesystem::path userConfigFolder(const UserEnvironment& environment) {
    const std::filesystem::path configHome = environment.xdgConfigHome;
    if (configHome.is_absolute()) {
        return configHome;
    }
    if (environment.home.empty()) {
        return {};
    }
    return std::filesystem::path(environment.home) / ".config";
}

std::string getSpecialFolder(int folder, const UserEnvironment& environment) {
    if (folder != kDocumentsFolder) {
        return {};
    }
    for (const auto& candidate :
         {environment.xdgDocumentsDir, documentsFromUserDirs(environment)}) {
        if (isFolder(candidate)) {
            auto path = std::filesystem::path(candidate).lexically_normal().string();
            while (path.size() > 1 && path.back() == '/') {
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

AppPaths decideAppPaths(const std::filesystem::path& executableFolder,
                        const std::filesystem::path& installPrefix,
                        const UserEnvironment& environment) {
    auto settingsFolder = executableFolder;
    if (!folderIsWritable(executableFolder)) {
        if (const auto configFolder = userConfigFolder(environment); !configFolder.empty()) {
            settingsFolder = configFolder / kConfigFolderName;
            std::error_code error;
            std::filesystem::create_directories(settingsFolder, error);
        }
    }
    return AppPaths{settingsFolder / kSettingsFileName, settingsFolder / kLogFileName,
                    executableFolder, installPrefix / "share" / "vrxconfig"};
}

}  // namespace vrx
