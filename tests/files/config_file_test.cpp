#include "files/config_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/program_image.h"
#include "protocol/hex_text.h"

namespace vrx {
namespace {

Bytes sampleImage() {
    auto image = newProgramDataImage();
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 31 + 5);
    }
    return image;
}

// The 779 characters of a data line without its trailing blank.
std::string dataLine(ByteView image) {
    auto text = bytesToHexText(image);
    text.pop_back();
    return text;
}

TEST(ConfigFile, SavedFileIsOneLineOf782Bytes) {
    const Bytes start{255, 0, 28};
    auto image = newProgramDataImage();
    std::copy(start.begin(), start.end(), image.begin());
    const auto text = configFileText(image);
    ASSERT_EQ(text.size(), kConfigFileBytes);
    EXPECT_EQ(text.substr(0, 9), "ff 00 1c ");
    EXPECT_EQ(text.substr(777), "00 \r\n");
    const auto read = parseConfigFile(text);
    ASSERT_TRUE(std::holds_alternative<Bytes>(read));
    EXPECT_EQ(std::get<Bytes>(read), image);
}

TEST(ConfigFile, DataLineIsFoundWhateverSurroundsIt) {
    const auto image = sampleImage();
    const auto line = dataLine(image);
    const auto other = dataLine(newProgramDataImage());
    const std::string cases[] = {
        line,                                           // saved without the trailing blank
        line + " \r\n",                                 // as the program writes it
        line + " \n",                                   // LF only
        line + " \r",                                   // CR only
        "   " + line + "   \r\n",                       // blanks around it
        "comment\r\n\r\nshort line\n" + line + "\r\n",  // short lines first
        line + "\r\n" + other + "\r\n",                 // a second long line is ignored
        line + " zz zz zz 00 00 00 00\r\n",             // an 800-character line: 779 count
        "x\r" + line,                                   // a CR alone ends the first line
    };
    for (const auto& text : cases) {
        const auto read = parseConfigFile(text);
        ASSERT_TRUE(std::holds_alternative<Bytes>(read)) << text.substr(0, 20);
        EXPECT_EQ(std::get<Bytes>(read), image);
    }
}

TEST(ConfigFile, FileWithoutALongLineHasNoData) {
    const auto line = dataLine(sampleImage());
    const std::string cases[] = {
        "",
        "\r\n\r\n",
        line.substr(0, 778),                            // one character short
        line.substr(0, 400) + "\n" + line.substr(400),  // broken across two lines
        std::string(900, ' '),
    };
    for (const auto& text : cases) {
        EXPECT_TRUE(std::holds_alternative<NoDataLine>(parseConfigFile(text))) << text.size();
    }
}

TEST(ConfigFile, ConversionFailureNamesLineAndColumn) {
    auto line = dataLine(sampleImage());
    line.replace(33, 2, "zq");
    const auto read = parseConfigFile("first\r\n  " + line + "\r\n");
    ASSERT_TRUE(std::holds_alternative<ConversionFailure>(read));
    const auto& failure = std::get<ConversionFailure>(read);
    EXPECT_EQ(failure.line, 2u);
    EXPECT_NE(failure.reason.find("\"zq\" at character 36"), std::string::npos) << failure.reason;
}

TEST(ConfigFile, FirstLongLineDecidesEvenWhenItIsBroken) {
    auto broken = dataLine(sampleImage());
    broken[0] = 'g';
    const auto text = broken + "\r\n" + dataLine(sampleImage()) + "\r\n";
    EXPECT_TRUE(std::holds_alternative<ConversionFailure>(parseConfigFile(text)));
}

TEST(ConfigFile, SingleDigitGroupsThatGiveTooManyBytesAreRefused) {
    std::string line = "00";
    while (line.size() < kDataLineChars) {
        line += " 0";
    }
    const auto read = parseConfigFile(line);
    ASSERT_TRUE(std::holds_alternative<ConversionFailure>(read));
    EXPECT_NE(std::get<ConversionFailure>(read).reason.find("instead of 260"), std::string::npos);
}

TEST(ConfigFile, VrxExtensionLooksAtTheFileNameOnly) {
    struct Case {
        const char* chosen;
        const char* saved;
    };
    const Case cases[] = {
        {"/home/j.smith/organ", "/home/j.smith/organ.vrx"},
        {"/home/jsmith/organ", "/home/jsmith/organ.vrx"},
        {"/home/jsmith/organ.vrx", "/home/jsmith/organ.vrx"},
        {"/home/jsmith/organ.bak", "/home/jsmith/organ.bak"},
        {"organ", "organ.vrx"},
        {"./organ", "./organ.vrx"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withVrxExtension(c.chosen), std::filesystem::path(c.saved)) << c.chosen;
    }
}

TEST(ConfigFile, WrittenFileReadsBackTheSameImage) {
    const auto path = std::filesystem::path(testing::TempDir()) / "config_file_test.vrx";
    const auto image = sampleImage();
    ASSERT_TRUE(writeConfigFile(path, image));
    EXPECT_EQ(std::filesystem::file_size(path), kConfigFileBytes);
    const auto read = readConfigFile(path);
    ASSERT_TRUE(std::holds_alternative<Bytes>(read));
    EXPECT_EQ(std::get<Bytes>(read), image);
    std::filesystem::remove(path);

    const auto missing = readConfigFile(path);
    ASSERT_TRUE(std::holds_alternative<ConversionFailure>(missing));
    EXPECT_EQ(std::get<ConversionFailure>(missing).line, 0u);
    EXPECT_TRUE(std::holds_alternative<ConversionFailure>(readConfigFile(testing::TempDir())));

    // A megabyte is the most an opened file may hold, whatever follows its data line.
    std::ofstream(path, std::ios::binary) << configFileText(image) << std::string(1024 * 1024, ' ');
    EXPECT_TRUE(std::holds_alternative<ConversionFailure>(readConfigFile(path)));
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace vrx
