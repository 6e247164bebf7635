#include "files/app_paths.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace vrx {
namespace {

namespace fs = std::filesystem;
using testing::writeBytes;

TEST(AppPaths, SettingsAndLogStayBesideAnUnpackedCopyThatCanWriteThereAndResourcesBesideComeFirst) {
    testing::TempFolder folder;
    const auto home = folder / "home";
    const auto prefix = folder / "local";
    fs::create_directories(prefix / "bin");
    const auto unpacked = decideAppPaths(prefix / "bin", prefix, {home.string(), "", ""});
    EXPECT_EQ(unpacked.settingsFile, prefix / "bin" / "VrxConfig.ini");
    EXPECT_FALSE(fs::exists(home)) << "nothing created elsewhere";
    EXPECT_TRUE(fs::is_empty(prefix / "bin")) << "the write probe is gone again";

    // With installed data beside it the program keeps them per user, writable folder or not.
    fs::create_directories(prefix / "share" / "vrxconfig");
    const auto installed = decideAppPaths(prefix / "bin", prefix, {home.string(), "", ""});
    EXPECT_EQ(installed.settingsFile, home / ".config" / "VRXConfig" / "VrxConfig.ini");
    EXPECT_EQ(installed.logFile, home / ".config" / "VRXConfig" / "VrxConfig.log");
    // Resources beside the executable come first, then the installed ones.
    EXPECT_EQ(installed.resourceFile(kInstrumentFileName),
              prefix / "share" / "vrxconfig" / "genmidi.txt");
    EXPECT_EQ(installed.userGuideFile(), prefix / "share" / "doc" / "vrxconfig" / "USER_GUIDE.md");
    fs::create_directories(prefix / "bin" / "docs");
    writeBytes(prefix / "bin" / "genmidi.txt", "Acoustic Grand Piano\n");
    writeBytes(prefix / "bin" / "docs" / "USER_GUIDE.md", "# Guide\n");
    EXPECT_EQ(installed.resourceFile(kInstrumentFileName), prefix / "bin" / "genmidi.txt");
    EXPECT_EQ(installed.userGuideFile(), prefix / "bin" / "docs" / "USER_GUIDE.md");

    // A folder that is a file cannot be written to, even by the superuser.
    writeBytes(folder / "bin", "not a folder");
    const std::pair<std::string, fs::path> cases[] = {
        {"", home / ".config" / "VRXConfig"},
        {"relative/config", home / ".config" / "VRXConfig"},
        {(folder / "xdg").string(), folder / "xdg" / "VRXConfig"},
    };
    for (const auto& [xdgConfigHome, expected] : cases) {
        const auto paths =
            decideAppPaths(folder / "bin", prefix, {home.string(), xdgConfigHome, ""});
        EXPECT_EQ(paths.settingsFile, expected / "VrxConfig.ini") << xdgConfigHome;
        EXPECT_TRUE(fs::is_directory(expected)) << xdgConfigHome;
    }
}

TEST(GetSpecialFolder, DocumentsFolderFollowsTheUsersFolderSettings) {
    testing::TempFolder folder;
    const auto home = folder / "home";
    fs::create_directories(home / ".config");
    fs::create_directories(home / "Dokumente");
    fs::create_directories(folder / "papers");
    const UserEnvironment plain{home.string(), "", ""};
    EXPECT_EQ(getSpecialFolder(kDocumentsFolder, plain), home.string()) << "no user-dirs.dirs";
    EXPECT_EQ(getSpecialFolder(6, plain), "") << "only the documents folder is known";

    writeBytes(home / ".config" / "user-dirs.dirs",
               "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
               "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
    const std::pair<std::string, fs::path> cases[] = {
        {"", home / "Dokumente"},
        {(folder / "papers").string(), folder / "papers"},
        {(folder / "gone").string(), home / "Dokumente"},
    };
    for (const auto& [variable, expected] : cases) {
        EXPECT_EQ(getSpecialFolder(kDocumentsFolder, {home.string(), "", variable}),
                  expected.string());
    }
    writeBytes(home / ".config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Missing\"\n");
    EXPECT_EQ(getSpecialFolder(kDocumentsFolder, plain), home.string());
}

}  // namespace
}  // namespace vrx
