#include "files/profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vrx {
namespace {

constexpr std::string_view kHandEdited =
    "; written by hand\r\n"
    "[VRXConfig]\r\n"
    "Maximised=0\r\n"
    "Left = 1500\r\n"
    "\r\n"
    "[MIDI I/O]\r\n"
    "Input=2\r\n"
    "; the output follows\r\n"
    "Output=3\r\n"
    "\r\n"
    "[Other]\r\n"
    "Colour=blue\r\n";

TEST(ProfileText, UnchangedFileIsWrittenBackByteForByte) {
    EXPECT_EQ(ProfileText::parse(kHandEdited).render(), kHandEdited);
    constexpr std::string_view unixFile = "[a]\nx=1\n\n# not a comment here\n[b]\n";
    EXPECT_EQ(ProfileText::parse(unixFile).render(), unixFile);
}

TEST(ProfileText, ChangingOneValueRewritesOnlyItsLine) {
    auto profile = ProfileText::parse(kHandEdited);
    EXPECT_TRUE(profile.setValue("midi i/o", "OUTPUT", "7"));
    EXPECT_TRUE(profile.setValue("VRXConfig", "Left", "60"));
    EXPECT_EQ(profile.render(),
              "; written by hand\r\n"
              "[VRXConfig]\r\n"
              "Maximised=0\r\n"
              "Left =60\r\n"
              "\r\n"
              "[MIDI I/O]\r\n"
              "Input=2\r\n"
              "; the output follows\r\n"
              "Output=7\r\n"
              "\r\n"
              "[Other]\r\n"
              "Colour=blue\r\n");
    EXPECT_FALSE(profile.setValue("Other", "colour", "blue")) << "same value, nothing to write";
}

TEST(ProfileText, NewKeyJoinsItsSectionAndNewSectionGoesLast) {
    auto profile = ProfileText::parse(kHandEdited);
    profile.setValue("VRXConfig", "Top", "900");
    profile.setValue("Preferences", "Path", "/home/organist/");
    EXPECT_EQ(profile.render(),
              "; written by hand\r\n"
              "[VRXConfig]\r\n"
              "Maximised=0\r\n"
              "Left = 1500\r\n"
              "Top=900\r\n"
              "\r\n"
              "[MIDI I/O]\r\n"
              "Input=2\r\n"
              "; the output follows\r\n"
              "Output=3\r\n"
              "\r\n"
              "[Other]\r\n"
              "Colour=blue\r\n"
              "\r\n"
              "[Preferences]\r\n"
              "Path=/home/organist/\r\n");
}

TEST(ProfileText, KeepsTheLineEndTheFileHadAndUsesCrLfForANewFile) {
    auto unixFile = ProfileText::parse("[a]\nx=1\n");
    unixFile.setValue("b", "y", "2");
    EXPECT_EQ(unixFile.render(), "[a]\nx=1\n\n[b]\ny=2\n");

    ProfileText empty;
    empty.setValue("Preferences", "Path", "/tmp/");
    EXPECT_EQ(empty.render(), "[Preferences]\r\nPath=/tmp/\r\n");

    EXPECT_EQ(ProfileText::parse("[a]\r\r\nx=1\r\r\n\r").render(), "[a]\r\nx=1\r\n\r\n")
        << "stray carriage returns end their line";

    auto noLastLineEnd = ProfileText::parse("[a]\r\nx=1");
    noLastLineEnd.setValue("a", "x", "2");
    EXPECT_EQ(noLastLineEnd.render(), "[a]\r\nx=2\r\n");
}

TEST(ProfileText, ReadsLikeTheOldProfileCalls) {
    struct Case {
        std::string_view file;
        std::string_view section;
        std::string_view key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"[MIDI I/O]\nInput=2\n", "midi i/o", "INPUT", "2"},
        {"  [ Spaced ]  \n  Key  =  some value  \n", "Spaced", "key", "some value"},
        {"[q]\nA=\"quoted \"\nB='x'\nC=\"half\n", "q", "A", "quoted "},
        {"[q]\nA=\"quoted \"\nB='x'\nC=\"half\n", "q", "B", "x"},
        {"[q]\nA=\"quoted \"\nB='x'\nC=\"half\n", "q", "C", "\"half"},
        {"[q]\nEmpty=\n", "q", "Empty", ""},
        {"[q]\nKey=a=b\n", "q", "Key", "a=b"},
        {"[d]\nK=first\n[D]\nK=second\n", "d", "K", "first"},
        {"[d]\nK=first\nk=second\n", "d", "k", "first"},
        {"Loose=1\n[s]\n", "s", "Loose", std::nullopt},
        {"[s]\n;K=commented\n", "s", "K", std::nullopt},
        // A section line without its bracket and a key line without "=" are skipped;
        // the lines after them still belong to the section before.
        {"[s]\n[broken\nK=kept\n", "s", "K", "kept"},
        {"[s]\nnovalue\nK=kept\n", "s", "K", "kept"},
        {"[s]\n[broken\nK=kept\n", "broken", "K", std::nullopt},
        {"[s]\r\nK=crlf\r\n", "s", "K", "crlf"},
        {"[s]\nK=x\n", "t", "K", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileText::parse(c.file).value(c.section, c.key), c.value)
            << c.file << " [" << c.section << "] " << c.key;
    }
}

TEST(ProfileText, EnumeratesNamesAsTheFileSpellsThem) {
    const auto profile =
        ProfileText::parse("[midi i/o]\nInput=1\n[MIDI I/O]\nINPUT=2\nOutput=3\n[]\n[midi i/o]\n");
    EXPECT_EQ(profile.sectionNames(),
              (std::vector<std::string>{"midi i/o", "MIDI I/O", "", "midi i/o"}));
    EXPECT_EQ(profile.keyNames("MIDI I/O"), std::vector<std::string>{"Input"})
        << "lookups ignore case, so the first of the two sections answers";
    EXPECT_EQ(profile.keyNames("Missing"), std::nullopt);
}

}  // namespace
}  // namespace vrx
