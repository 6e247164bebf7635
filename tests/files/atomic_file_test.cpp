#include "files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "files/config_file.h"
#include "model/program_image.h"

namespace vrx {
namespace {

namespace fs = std::filesystem;

class AtomicSave : public testing::Test {
protected:
    fs::path folder_ =
        fs::path(testing::TempDir()) /
        (std::string("atomic-") + testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path target_ = folder_ / "organ.vrx";
    const std::string old_ = "the previous configuration\r\n";

    void SetUp() override {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        std::ofstream(target_, std::ios::binary) << old_;
    }
    void TearDown() override {
        setBeforeRenameHookForTesting(nullptr);
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
    }
    std::string targetContents() const { return readWholeFile(target_).value(); }
    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator{}));
    }
};

TEST_F(AtomicSave, ReplacesTheFileWhole) {
    ASSERT_TRUE(writeConfigFile(target_, newProgramDataImage()));
    EXPECT_EQ(targetContents(), configFileText(newProgramDataImage()));
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(AtomicSave, FailureBeforeTheRenameKeepsTheOldFile) {
    setBeforeRenameHookForTesting([](const fs::path& temporary) -> Status {
        // The new bytes are complete in the temporary file when the rename would come.
        EXPECT_EQ(fs::file_size(temporary), kConfigFileBytes);
        return Status::failure("No space left on device");
    });
    const auto status = writeConfigFile(target_, newProgramDataImage());
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error(), "No space left on device");
    EXPECT_EQ(targetContents(), old_);
    EXPECT_EQ(filesInFolder(), 1u);  // no temporary file is left behind
}

TEST_F(AtomicSave, ReadOnlyFolderKeepsTheOldFile) {
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(folder_ / "probe")) {
        GTEST_SKIP() << "this user may write into read-only folders";
    }
    const auto status = writeConfigFile(target_, newProgramDataImage());
    ASSERT_FALSE(status);
    EXPECT_FALSE(status.error().empty());
    EXPECT_EQ(targetContents(), old_);
}

TEST_F(AtomicSave, MissingFolderAndFolderTargetFail) {
    EXPECT_FALSE(writeFileAtomically(folder_ / "absent" / "organ.vrx", "x"));
    fs::create_directory(folder_ / "taken.vrx");
    std::ofstream(folder_ / "taken.vrx" / "inside") << "x";
    EXPECT_FALSE(writeFileAtomically(folder_ / "taken.vrx", "x"));
    EXPECT_EQ(filesInFolder(), 2u);
}

TEST_F(AtomicSave, ReplacedFileKeepsItsPermissions) {
    fs::permissions(target_,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writeFileAtomically(target_, "new"));
    EXPECT_EQ(fs::status(target_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(targetContents(), "new");
}

TEST_F(AtomicSave, SavingThroughALinkReplacesItsTargetAndKeepsTheLink) {
    fs::create_directories(folder_ / "links");
    const struct {
        fs::path link;
        fs::path pointsTo;
        fs::path written;
    } cases[] = {
        {folder_ / "links/relative.vrx", "../organ.vrx", target_},
        {folder_ / "links/absolute.vrx", target_, target_},
        {folder_ / "links/chained.vrx", folder_ / "links/relative.vrx", target_},
        {folder_ / "links/dangling.vrx", "../not-yet.vrx", folder_ / "not-yet.vrx"},
    };
    for (const auto& c : cases) {
        fs::create_symlink(c.pointsTo, c.link);
        ASSERT_TRUE(writeFileAtomically(c.link, "through " + c.link.filename().string())) << c.link;
        EXPECT_TRUE(fs::is_symlink(c.link)) << c.link;
        EXPECT_EQ(readWholeFile(c.written).value(), "through " + c.link.filename().string());
    }
    EXPECT_EQ(filesInFolder(), 3u) << "organ.vrx, not-yet.vrx and links/, no leftovers";
}

TEST_F(AtomicSave, OpeningReadsOnlyRegularFilesUpToTheLimit) {
    ASSERT_EQ(::mkfifo((folder_ / "pipe.vrx").c_str(), 0600), 0);
    std::ofstream(folder_ / "big.vrx", std::ios::binary) << std::string(1025, 'x');
    std::ofstream(folder_ / "fits.vrx", std::ios::binary) << std::string(1024, 'x');
    fs::create_symlink("fits.vrx", folder_ / "link.vrx");
    const struct {
        const char* name;
        bool read;
    } cases[] = {{"pipe.vrx", false}, {"big.vrx", false}, {"fits.vrx", true},
                 {"link.vrx", true},  {".", false},       {"missing.vrx", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<bool>(readRegularFile(folder_ / c.name, 1024)), c.read) << c.name;
    }
}

}  // namespace
}  // namespace vrx
