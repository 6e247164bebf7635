#include "files/program_folder.h"

#include <gtest/gtest.h>

#include "files/config_file.h"
#include "model/program_image.h"
#include "temp_folder.h"

namespace vrx {
namespace {

using testing::TempFolder;
using testing::writeBytes;

TEST(ProgramFolder, FindsTheBackupsFilesByNumberAndSaysWhichCannotBeUsed) {
    TempFolder folder;
    const Bytes image = newProgramDataImage();
    ASSERT_TRUE(writeConfigFile(programFileName(folder.path(), 12), image).ok());
    ASSERT_TRUE(writeConfigFile(programFileName(folder.path(), 3), image).ok());
    writeBytes(folder / "program-007.vrx", "not a configuration\n");
    writeBytes(folder / "organ.vrx", configFileText(image));
    writeBytes(folder / "program-4.vrx", configFileText(image));

    EXPECT_EQ(programFileName("/b", 7), std::filesystem::path("/b/program-007.vrx"));
    const auto found = readProgramFolder(folder.path());
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].programNumber, 3);
    EXPECT_EQ(found[0].image, image);
    EXPECT_EQ(found[1].programNumber, 7);
    EXPECT_TRUE(found[1].image.empty());
    EXPECT_EQ(found[1].error, "it holds no Program Data line");
    EXPECT_EQ(found[2].programNumber, 12);
    EXPECT_TRUE(readProgramFolder(folder / "missing").empty());
}

}  // namespace
}  // namespace vrx
