#include "files/atomic_file.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace vrx {
namespace {

namespace fs = std::filesystem;

class AtomicSave : public ::testing::Test {
protected:
    void SetUp() override { testing::writeBytes(target_, old_); }
    void TearDown() override {
        setBeforeRenameHookForTesting(nullptr);
        fs::permissions(folder_.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator{}));
    }
    testing::TempFolder folder_;
    fs::path target_ = folder_ / "organ.vrx";
    const std::string old_ = "the previous configuration\r\n";
};

TEST_F(AtomicSave, ReplacesTheFileWholeAndKeepsItsPermissionsOrFailsWithoutAFolder) {
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target_, perms);
    // As the system keeps them: Windows knows only whether a file is read-only.
    const auto kept = fs::status(target_).permissions();
    ASSERT_TRUE(writeFileAtomically(target_, "new"));
    EXPECT_EQ(testing::readBytes(target_), "new");
    EXPECT_EQ(fs::status(target_).permissions(), kept);
    EXPECT_EQ(filesInFolder(), 1u);

    // A missing folder or a folder in the file's place fails.
    EXPECT_FALSE(writeFileAtomically(folder_ / "absent" / "organ.vrx", "x"));
    fs::create_directory(folder_ / "taken.vrx");
    testing::writeBytes(folder_ / "taken.vrx" / "inside", "x");
    const auto onFolder = writeFileAtomically(folder_ / "taken.vrx", "x");
    ASSERT_FALSE(onFolder);
    EXPECT_EQ(onFolder.error(), "Is a directory");
    EXPECT_EQ(testing::readBytes(folder_ / "taken.vrx" / "inside"), "x");
    EXPECT_EQ(filesInFolder(), 2u);
}

// The write is stopped after the temporary file is complete and before the rename, as a
// crash or a full disk at that moment would.
TEST_F(AtomicSave, FailureBeforeTheRenameKeepsTheOldFile) {
    static fs::path temporary;
    setBeforeRenameHookForTesting([](const fs::path& written) -> Status {
        temporary = written;
        EXPECT_EQ(testing::readBytes(written), "new bytes");
        return Status::failure("No space left on device");
    });
    const auto status = writeFileAtomically(target_, "new bytes");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error(), "No space left on device");
    EXPECT_EQ(temporary.parent_path(), folder_.path()) << "renamed within one file system";
    EXPECT_EQ(testing::readBytes(target_), old_);
    EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";
}

TEST_F(AtomicSave, ReadOnlyFolderKeepsTheOldFile) {
    fs::permissions(folder_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(folder_ / "probe")) {
        GTEST_SKIP() << "this user may write into read-only folders";
    }
    const auto status = writeFileAtomically(target_, "new");
    ASSERT_FALSE(status);
    EXPECT_FALSE(status.error().empty());
    EXPECT_EQ(testing::readBytes(target_), old_);
}

TEST_F(AtomicSave, SavingThroughALinkReplacesItsTargetAndKeepsTheLink) {
    fs::create_directories(folder_ / "links");
    const std::tuple<fs::path, fs::path, fs::path> cases[] = {
        {folder_ / "links/relative.vrx", "../organ.vrx", target_},
        {folder_ / "links/absolute.vrx", target_, target_},
        {folder_ / "links/chained.vrx", folder_ / "links/relative.vrx", target_},
        {folder_ / "links/dangling.vrx", "../not-yet.vrx", folder_ / "not-yet.vrx"},
    };
    // Each link is saved through and the file it ends at gets the bytes.
    for (const auto& [link, pointsTo, written] : cases) {
        std::error_code error;
        fs::create_symlink(pointsTo, link, error);
        if (error) {
            GTEST_SKIP() << "this system makes no symbolic links: " << error.message();
        }
        ASSERT_TRUE(writeFileAtomically(link, "through " + link.filename().string())) << link;
        EXPECT_TRUE(fs::is_symlink(link)) << link;
        EXPECT_EQ(testing::readBytes(written), "through " + link.filename().string());
    }
    EXPECT_EQ(filesInFolder(), 3u) << "organ.vrx, not-yet.vrx and links/, no leftovers";
}

}  // namespace
}  // namespace vrx
