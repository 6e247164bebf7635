#include "files/app_paths.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace vrx {
namespace {

using testing::TempFolder;
using testing::writeBytes;

TEST(AppPaths, UnpackedCopyKeepsSettingsAndLogBesideTheExecutable) {
    TempFolder folder;
    const auto bin = folder / "bin";
    std::filesystem::create_directories(bin);
    const UserEnvironment environment{(folder / "home").string(), "", ""};
    const auto paths = decideAppPaths(bin, folder / "usr", environment);
    EXPECT_EQ(paths.settingsFile, bin / "VrxConfig.ini");
    EXPECT_EQ(paths.logFile, bin / "VrxConfig.log");
    EXPECT_FALSE(std::filesystem::exists(folder / "home")) << "nothing created elsewhere";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(bin),
                            std::filesystem::directory_iterator()),
              0)
        << "the write probe is gone again";
}

TEST(AppPaths, ProgramInAFolderItCannotWriteKeepsThemInTheUserConfigFolder) {
    TempFolder folder;
    // A folder that is a file cannot be written to, even by the superuser.
    writeBytes(folder / "bin", "not a folder");
    const auto home = folder / "home";
    struct Case {
        std::string xdgConfigHome;
        std::filesystem::path expectedFolder;
    };
    const Case cases[] = {
        {"", home / ".config" / "VRXConfig"},
        {"relative/config", home / ".config" / "VRXConfig"},
        {(folder / "xdg").string(), folder / "xdg" / "VRXConfig"},
    };
    for (const auto& c : cases) {
        const auto paths =
            decideAppPaths(folder / "bin", folder / "usr", {home.string(), c.xdgConfigHome, ""});
        EXPECT_EQ(paths.settingsFile, c.expectedFolder / "VrxConfig.ini") << c.xdgConfigHome;
        EXPECT_EQ(paths.logFile, c.expectedFolder / "VrxConfig.log") << c.xdgConfigHome;
        EXPECT_TRUE(std::filesystem::is_directory(c.expectedFolder)) << c.xdgConfigHome;
    }
}

TEST(AppPaths, InstalledProgramKeepsThemPerUserEvenWhenItsFolderIsWritable) {
    TempFolder folder;
    const auto prefix = folder / "local";
    std::filesystem::create_directories(prefix / "bin");
    const UserEnvironment environment{(folder / "home").string(), "", ""};
    const auto unpacked = decideAppPaths(prefix / "bin", prefix, environment);
    EXPECT_EQ(unpacked.settingsFile, prefix / "bin" / "VrxConfig.ini")
        << "without installed data it is an unpacked copy";

    std::filesystem::create_directories(prefix / "share" / "vrxconfig");
    const auto installed = decideAppPaths(prefix / "bin", prefix, environment);
    const auto configFolder = folder / "home" / ".config" / "VRXConfig";
    EXPECT_EQ(installed.settingsFile, configFolder / "VrxConfig.ini");
    EXPECT_EQ(installed.logFile, configFolder / "VrxConfig.log");
    EXPECT_EQ(installed.resourceFile(kInstrumentFileName),
              prefix / "share" / "vrxconfig" / "genmidi.txt");
    EXPECT_EQ(installed.userGuideFile(), prefix / "share" / "doc" / "vrxconfig" / "USER_GUIDE.md");
    std::filesystem::create_directories(prefix / "bin" / "docs");
    writeBytes(prefix / "bin" / "docs" / "USER_GUIDE.md", "# Guide\n");
    EXPECT_EQ(installed.userGuideFile(), prefix / "bin" / "docs" / "USER_GUIDE.md");
}

TEST(AppPaths, ResourcesBesideTheExecutableComeFirstThenTheInstalledOnes) {
    TempFolder folder;
    std::filesystem::create_directories(folder / "bin");
    const auto paths = decideAppPaths(folder / "bin", folder / "usr", {});
    EXPECT_EQ(paths.resourceFile(kInstrumentFileName),
              folder / "usr" / "share" / "vrxconfig" / "genmidi.txt");
    writeBytes(folder / "bin" / "genmidi.txt", "Acoustic Grand Piano\n");
    EXPECT_EQ(paths.resourceFile(kInstrumentFileName), folder / "bin" / "genmidi.txt");
    EXPECT_EQ(paths.resourceFile("Open.bmp"), folder / "usr" / "share" / "vrxconfig" / "Open.bmp");
}

TEST(GetSpecialFolder, DocumentsFolderFollowsTheUsersFolderSettings) {
    TempFolder folder;
    const auto home = folder / "home";
    std::filesystem::create_directories(home / ".config");
    std::filesystem::create_directories(home / "Dokumente");
    std::filesystem::create_directories(folder / "papers");
    const UserEnvironment plain{home.string(), "", ""};

    EXPECT_EQ(getSpecialFolder(kDocumentsFolder, plain), home.string()) << "no user-dirs.dirs";

    writeBytes(home / ".config" / "user-dirs.dirs",
               "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
               "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
    EXPECT_EQ(getSpecialFolder(kDocumentsFolder, plain), (home / "Dokumente").string());

    const UserEnvironment fromVariable{home.string(), "", (folder / "papers").string()};
    EXPECT_EQ(getSpecialFolder(kDocumentsFolder, fromVariable), (folder / "papers").string());

    const UserEnvironment missingFolder{home.string(), "", (folder / "gone").string()};
    EXPECT_EQ(getSpecialFolder(kDocumentsFolder, missingFolder), (home / "Dokumente").string());

    writeBytes(home / ".config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Missing\"\n");
    EXPECT_EQ(getSpecialFolder(kDocumentsFolder, plain), home.string());

    EXPECT_EQ(getSpecialFolder(6, plain), "") << "only the documents folder is known";
}

}  // namespace
}  // namespace vrx
