#include "files/profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vrx {
namespace {

constexpr std::string_view kHandEdited =
    "; written by hand\r\n"
    "[VRXConfig]\r\nMaximised=0\r\nLeft = 1500\r\n\r\n"
    "[MIDI I/O]\r\nInput=2\r\n; the output follows\r\nOutput=3\r\n\r\n"
    "[Other]\r\nColour=blue\r\n";

TEST(ProfileText, ChangesRewriteOnlyTheirLinesAndNewKeysJoinTheirSection) {
    EXPECT_EQ(ProfileText::parse(kHandEdited).render(), kHandEdited);
    auto profile = ProfileText::parse(kHandEdited);
    EXPECT_TRUE(profile.setValue("midi i/o", "OUTPUT", "7"));
    EXPECT_TRUE(profile.setValue("VRXConfig", "Left", "60"));
    EXPECT_TRUE(profile.setValue("VRXConfig", "Top", "900"));
    EXPECT_TRUE(profile.setValue("Preferences", "Path", "/home/organist/"));
    EXPECT_FALSE(profile.setValue("Other", "colour", "blue")) << "same value, nothing to write";
    EXPECT_EQ(profile.render(),
              "; written by hand\r\n"
              "[VRXConfig]\r\nMaximised=0\r\nLeft =60\r\nTop=900\r\n\r\n"
              "[MIDI I/O]\r\nInput=2\r\n; the output follows\r\nOutput=7\r\n\r\n"
              "[Other]\r\nColour=blue\r\n\r\n"
              "[Preferences]\r\nPath=/home/organist/\r\n");
}

TEST(ProfileText, KeepsTheLineEndTheFileHadAndUsesCrLfForANewFile) {
    struct Case {
        std::string_view before;
        std::string_view section;
        std::string_view key;
        std::string_view after;
    };
    const Case cases[] = {
        {"[a]\nx=1\n\n# not a comment here\n[b]\n", "b", "y",
         "[a]\nx=1\n\n# not a comment here\n[b]\ny=2\n"},
        {"[a]\nx=1\n", "b", "y", "[a]\nx=1\n\n[b]\ny=2\n"},
        {"", "b", "y", "[b]\r\ny=2\r\n"},
        // Stray carriage returns end their line; a missing last line end is added.
        {"[a]\r\r\nx=1\r\r\n\r", "a", "x", "[a]\r\nx=2\r\n\r\n"},
        {"[a]\r\nx=1", "a", "x", "[a]\r\nx=2\r\n"},
    };
    for (const auto& c : cases) {
        auto profile = ProfileText::parse(c.before);
        profile.setValue(c.section, c.key, "2");
        EXPECT_EQ(profile.render(), c.after) << c.before;
    }
}

TEST(ProfileText, ReadsLikeTheOldProfileCalls) {
    struct Case {
        std::string_view file;
        std::string_view section;
        std::string_view key;
        std::optional<std::string> value;
    };
    constexpr std::string_view kQuoted = "[q]\nA=\"quoted \"\nB='x'\nC=\"half\nD=\nE=a=b\n";
    const Case cases[] = {
        {"[MIDI I/O]\nInput=2\n", "midi i/o", "INPUT", "2"},
        {"  [ Spaced ]  \n  Key  =  some value  \n", "Spaced", "key", "some value"},
        {kQuoted, "q", "A", "quoted "},
        {kQuoted, "q", "B", "x"},
        {kQuoted, "q", "C", "\"half"},
        {kQuoted, "q", "D", ""},
        {kQuoted, "q", "E", "a=b"},
        {"[d]\nK=first\n[D]\nK=second\n", "d", "K", "first"},
        {"[d]\nK=first\nk=second\n", "d", "k", "first"},
        {"Loose=1\n[s]\n", "s", "Loose", std::nullopt},
        {"[s]\n;K=commented\n", "s", "K", std::nullopt},
        // A section line without its bracket and a key line without "=" are skipped;
        // the lines after them still belong to the section before.
        {"[s]\n[broken\nnovalue\nK=kept\n", "s", "K", "kept"},
        {"[s]\n[broken\nK=kept\n", "broken", "K", std::nullopt},
        {"[s]\nK=x\n", "t", "K", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileText::parse(c.file).value(c.section, c.key), c.value)
            << c.file << " [" << c.section << "] " << c.key;
    }
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
