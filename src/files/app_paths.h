#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vrx {

inline constexpr std::string_view kSettingsFileName = "VrxConfig.ini";
inline constexpr std::string_view kLogFileName = "VrxConfig.log";
inline constexpr std::string_view kInstrumentFileName = "genmidi.txt";
inline constexpr std::string_view kUserGuideFileName = "USER_GUIDE.md";
// Below <prefix>: where an installed program's data and documents are.
inline constexpr std::string_view kInstalledDataFolder = "share/vrxconfig";
inline constexpr std::string_view kInstalledDocFolder = "share/doc/vrxconfig";

// The shell folder number of the user's documents folder.
constexpr int kDocumentsFolder = 5;

// What the user's environment says about their folders, read once so that everything
// depending on it can be tried with made-up values.
struct UserEnvironment {
    std::string home;             // $HOME
    std::string xdgConfigHome;    // $XDG_CONFIG_HOME
    std::string xdgDocumentsDir;  // $XDG_DOCUMENTS_DIR
};
UserEnvironment readUserEnvironment();

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config; empty when there is no home either.
std::filesystem::path userConfigFolder(const UserEnvironment& environment);

// For kDocumentsFolder the user's documents folder: $XDG_DOCUMENTS_DIR, else the one
// named in user-dirs.dirs, else the home folder when neither exists. Without a trailing
// separator. Any other folder number gives an empty text.
std::string getSpecialFolder(int folder, const UserEnvironment& environment);

// Where the program's files are, decided once at start-up.
struct AppPaths {
    // An installed program keeps the settings file and the log in the user's
    // configuration folder under "VRXConfig"; an unpacked copy keeps them beside the
    // executable, unless that folder cannot be written.
    std::filesystem::path settingsFile;
    std::filesystem::path logFile;
    std::filesystem::path executableFolder;
    std::filesystem::path installedDataFolder;  // <prefix>/share/vrxconfig
    std::filesystem::path installedDocFolder;   // <prefix>/share/doc/vrxconfig

    // genmidi.txt or a toolbar picture: beside the executable if there, else installed.
    std::filesystem::path resourceFile(std::string_view name) const;
    // The user guide: in docs/ beside the executable if there, else the installed one.
    std::filesystem::path userGuideFile() const;
};

// An installed program: its executable in <prefix>/bin, its data in
// <prefix>/share/vrxconfig. Anything else is an unpacked copy.
bool isInstalledProgram(const std::filesystem::path& executableFolder,
                        const std::filesystem::path& installPrefix);

// Creates the configuration folder when the settings go there, so that the first write
// at exit finds it.
AppPaths decideAppPaths(const std::filesystem::path& executableFolder,
                        const std::filesystem::path& installPrefix,
                        const UserEnvironment& environment);

}  // namespace vrx
