// The files layer on Windows itself: the user's folders, names beyond ASCII through the
// wide-character functions, and the atomic save with ReplaceFileW and FlushFileBuffers.
#include <gtest/gtest.h>
#include <windows.h>

#include "files/app_paths.h"
#include "files/atomic_file.h"
#include "files/log_file.h"
#include "files/platform_files.h"
#include "files/temp_folder.h"
#include "protocol/utf8_path.h"

namespace vrx {
namespace {

namespace fs = std::filesystem;

// "Orgel-Bänke-ø€.vrx": Latin-1, beyond Latin-1, and beyond the ANSI code page.
const std::string kUtf8Name = "Orgel-B\xC3\xA4nke-\xC3\xB8\xE2\x82\xAC.vrx";
const std::wstring kWideName = L"Orgel-B\u00E4nke-\u00F8\u20AC.vrx";

std::vector<std::wstring> namesIn(const fs::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().wstring());
    }
    return names;
}

TEST(WindowsFiles, NamesBeyondAsciiReachTheFileSystemWhole) {
    testing::TempFolder folder;
    const auto path = folder.path() / pathFromUtf8(kUtf8Name);
    EXPECT_EQ(path.filename().wstring(), kWideName);
    EXPECT_EQ(utf8FromPath(path.filename()), kUtf8Name);
    ASSERT_TRUE(writeFileAtomically(path, "first\r\n"));
    ASSERT_TRUE(writeFileAtomically(path, "second\r\n"));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::wstring>{kWideName});
    EXPECT_EQ(*readWholeFile(path), "second\r\n");

    // The log, in a folder named beyond ASCII, too; its lines end in CR LF.
    const auto logFolder = folder.path() / pathFromUtf8(
                                               "Pr\xC3\xBC"
                                               "fung");
    fs::create_directory(logFolder);
    LogFile log(logFolder / kLogFileName, true);
    log.writeLog("No MIDI Card present.");
    log.writeLog("Error in patch loading.");
    EXPECT_EQ(*readWholeFile(logFolder / kLogFileName),
              "No MIDI Card present.\r\nError in patch loading.\r\n");
}

// (Wine's ReplaceFileW does not carry the old file's attributes over, as Windows' does,
// so that part of it cannot be seen here.)
TEST(WindowsFiles, TheAtomicSaveReplacesByAnyNameAndFailsOnAFolder) {
    testing::TempFolder folder;
    const auto path = folder / "organ.vrx";
    testing::writeBytes(path, "old");
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(testing::readBytes(path), "new");
    EXPECT_EQ(namesIn(folder.path()).size(), 1u) << "no temporary file is left behind";

    // A name relative to the working folder, as vrxtool is given one.
    const auto previous = fs::current_path();
    fs::current_path(folder.path());
    const auto relative = writeFileAtomically("organ.vrx", "relative");
    fs::current_path(previous);
    ASSERT_TRUE(relative) << relative.error();
    EXPECT_EQ(testing::readBytes(path), "relative");
    EXPECT_EQ(namesIn(folder.path()).size(), 1u);

    // Drive letters and backslashes, as a Windows user writes them.
    auto written = fs::absolute(folder.path()).wstring() + L"\\sub\\organ.vrx";
    fs::create_directory(folder / "sub");
    ASSERT_TRUE(writeFileAtomically(written, "in sub"));
    EXPECT_EQ(testing::readBytes(folder / "sub" / "organ.vrx"), "in sub");
    EXPECT_EQ(written[1], L':');

    const auto onFolder = writeFileAtomically(folder / "sub", "x");
    ASSERT_FALSE(onFolder);
    EXPECT_EQ(onFolder.error(), "Is a directory");
    EXPECT_EQ(testing::readBytes(folder / "sub" / "organ.vrx"), "in sub");
    const auto noFolder = writeFileAtomically(folder / "absent" / "organ.vrx", "x");
    ASSERT_FALSE(noFolder);
    EXPECT_EQ(noFolder.error(), "No such file or directory");
}

// An installed copy keeps its settings in the user's application data folder, an
// unpacked one beside itself; the documents folder is the shell's.
TEST(WindowsFiles, SettingsGoToTheApplicationDataFolderOnlyWhenInstalled) {
    const auto environment = readUserEnvironment();
    const auto appData = pathFromUtf8(environment.xdgConfigHome);
    ASSERT_TRUE(appData.is_absolute()) << environment.xdgConfigHome;
    EXPECT_TRUE(appData.has_root_name()) << "a drive letter";
    EXPECT_TRUE(fs::is_directory(pathFromUtf8(getSpecialFolder(kDocumentsFolder, environment))));

    testing::TempFolder folder;
    const auto prefix = folder / "VRXConfig";
    fs::create_directories(prefix / "bin");
    EXPECT_EQ(decideAppPaths(prefix / "bin", prefix, environment).settingsFile,
              prefix / "bin" / "VrxConfig.ini");
    fs::create_directories(prefix / "share" / "vrxconfig");
    const auto installed = decideAppPaths(prefix / "bin", prefix, environment);
    EXPECT_EQ(installed.settingsFile, appData / "VRXConfig" / "VrxConfig.ini");
    EXPECT_EQ(installed.logFile, appData / "VRXConfig" / "VrxConfig.log");

    EXPECT_TRUE(fs::exists(platform::runningExecutableFolder() / "vrx_core_tests.exe"));
}

}  // namespace
}  // namespace vrx
