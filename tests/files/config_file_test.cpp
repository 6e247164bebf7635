#include "files/config_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "files/program_folder.h"
#include "model/program_image.h"
#include "protocol/hex_text.h"
#include "temp_folder.h"

namespace vrx {
namespace {

Bytes sampleImage() {
    auto image = newProgramDataImage();
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 31 + 5);
    }
    return image;
}

// What opening a file gives, in the words the tests compare.
std::string outcome(const ConfigFileContents& read) {
    if (const auto* image = std::get_if<Bytes>(&read)) {
        return *image == sampleImage() ? "the image" : "another image";
    }
    return refusalReason(read);
}

TEST(ConfigFile, TheFirstLineOf779CharactersHoldsTheData) {
    constexpr const char* kEmpty = "the file is empty";
    constexpr const char* kTooShort =
        "the file is too short: no line holds the 779 characters of a configuration";
    // The 779 characters of a data line without its trailing blank.
    auto line = bytesToHexText(sampleImage());
    line.pop_back();
    const auto other = bytesToHexText(newProgramDataImage());
    auto broken = line;
    broken.replace(33, 2, "zq");
    std::string singleDigits = "00";
    while (singleDigits.size() < kDataLineChars) {
        singleDigits += " 0";
    }
    const std::pair<std::string, std::string> cases[] = {
        {line, "the image"},  // saved without the trailing blank
        {line + " \r\n", "the image"},
        {line + " \n", "the image"},
        {line + " \r", "the image"},
        {"   " + line + "   \r\n", "the image"},
        {"comment\r\n\r\nshort line\n" + line + "\r\n", "the image"},
        {line + "\r\n" + other + "\r\n", "the image"},      // a second long line is ignored
        {line + " zz zz zz 00 00 00 00\r\n", "the image"},  // of 800 characters 779 count
        {"x\r" + line, "the image"},                        // a CR alone ends the first line
        {"", kEmpty},
        {"\r\n\r\n", kEmpty},
        {line.substr(0, 778), kTooShort},  // one character short
        {line.substr(0, 400) + "\n" + line.substr(400), kTooShort},
        {std::string(900, ' '), kEmpty},
        // A bad group is named by its column in the line, leading blanks included.
        {"first\r\n  " + broken + "\r\n", "line 2: \"zq\" at character 36 is not a hex byte"},
        {broken + "\r\n" + line + "\r\n", "line 1: \"zq\" at character 34 is not a hex byte"},
        {singleDigits, "line 1: the data line holds 389 bytes instead of 260"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(outcome(parseConfigFile(text)), expected) << text.substr(0, 20);
    }
}

TEST(ConfigFile, VrxExtensionLooksAtTheFileNameOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/j.smith/organ", "/home/j.smith/organ.vrx"},
        {"/home/jsmith/organ.vrx", "/home/jsmith/organ.vrx"},
        {"/home/jsmith/organ.bak", "/home/jsmith/organ.bak"},
        {"./organ", "./organ.vrx"},
    };
    for (const auto& [chosen, saved] : cases) {
        EXPECT_EQ(withVrxExtension(chosen), std::filesystem::path(saved)) << chosen;
    }
}

TEST(ConfigFile, SavedFileIsOneLineOf782BytesAndOnlyFilesUpToAMegabyteOpen) {
    testing::TempFolder folder;
    const auto path = folder / "organ.vrx";
    auto image = newProgramDataImage();
    image[0] = 255;
    image[2] = 28;
    ASSERT_TRUE(writeConfigFile(path, image));
    const auto text = testing::readBytes(path);
    ASSERT_EQ(text.size(), kConfigFileBytes);
    EXPECT_EQ(text.substr(0, 9), "ff ff 1c ");
    EXPECT_EQ(text.substr(774), "00 00 \r\n");
    EXPECT_EQ(std::get<Bytes>(readConfigFile(path)), image);
    ASSERT_TRUE(writeConfigFile(path, sampleImage()));
    // The system's own words for a missing file, whatever the platform.
    std::error_code missing;
    static_cast<void>(std::filesystem::status(folder / "missing.vrx", missing));
    ASSERT_TRUE(missing);
    EXPECT_EQ(outcome(readConfigFile(folder / "missing.vrx")), missing.message());
#ifndef _WIN32  // Windows has no named pipes in folders, and links need special rights
    // Only regular files open: a pipe would block the program.
    ASSERT_EQ(::mkfifo((folder / "pipe.vrx").c_str(), 0600), 0);
    std::filesystem::create_symlink("organ.vrx", folder / "link.vrx");
    EXPECT_EQ(outcome(readConfigFile(folder / "link.vrx")), "the image");
    EXPECT_EQ(outcome(readConfigFile(folder / "pipe.vrx")), "not a regular file");
#endif
    EXPECT_EQ(outcome(readConfigFile(folder.path())), "not a regular file");
    // A megabyte is the most an opened file may hold, whatever follows its data line.
    const std::string padding(1024 * 1024 - kConfigFileBytes, ' ');
    testing::writeBytes(path, configFileText(sampleImage()) + padding);
    EXPECT_EQ(outcome(readConfigFile(path)), "the image");
    testing::writeBytes(path, configFileText(sampleImage()) + padding + " ");
    EXPECT_EQ(outcome(readConfigFile(path)), "file too large");
}

TEST(ConfigFile, AFailedSaveNamesAFolderThatCannotTakeTheFile) {
    testing::TempFolder folder;
    const auto inFolder = folder / "organ.vrx";
    const auto inMissing = folder / "gone" / "organ.vrx";
    EXPECT_EQ(saveFailureText(inFolder, "Disk full"), "Disk full : " + inFolder.string());
    EXPECT_EQ(saveFailureText(inMissing, "No such file or directory"),
              "No such file or directory : " + inMissing.string() + "\nThe folder " +
                  (folder / "gone").string() + " cannot take the file: choose another.");
}

TEST(ProgramFolder, FindsTheBackupsFilesByNumberAndSaysWhichCannotBeUsed) {
    testing::TempFolder folder;
    const Bytes image = newProgramDataImage();
    ASSERT_TRUE(writeConfigFile(programFileName(folder.path(), 12), image).ok());
    ASSERT_TRUE(writeConfigFile(programFileName(folder.path(), 3), image).ok());
    testing::writeBytes(folder / "program-007.vrx", "not a configuration\n");
    testing::writeBytes(folder / "organ.vrx", configFileText(image));
    testing::writeBytes(folder / "program-4.vrx", configFileText(image));

    EXPECT_EQ(programFileName("/b", 7), std::filesystem::path("/b/program-007.vrx"));
    std::vector<std::tuple<int, Bytes, std::string>> found;
    for (const auto& file : readProgramFolder(folder.path())) {
        found.emplace_back(file.programNumber, file.image, file.error);
    }
    EXPECT_EQ(found,
              (decltype(found){
                  {3, image, ""}, {7, {}, "it holds no Program Data line"}, {12, image, ""}}));
    EXPECT_TRUE(readProgramFolder(folder / "missing").empty());
}

}  // namespace
}  // namespace vrx
