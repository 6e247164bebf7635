#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "vrxtool_runner.h"

namespace vrx::cli {
namespace {

using ReportCommands = VrxtoolTest;

TEST_F(ReportCommands, DiffAnswersAsDiffDoes) {
    const std::string church = fixture("church_console.vrx").string();
    const std::string theatre = fixture("theatre_console.vrx").string();
    write(file("broken.vrx"), "no configuration here\n");

    const auto same = vrxtool({"diff", church, church});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    const auto differ = vrxtool({"diff", church, theatre});
    EXPECT_EQ(differ.status, 1) << differ.err;
    EXPECT_NE(differ.out.find("Channel 1 Input Keyboard: IN1 (Swell) \u2192 "), std::string::npos)
        << differ.out;

    const auto json = vrxtool({"diff", "--json", church, theatre});
    EXPECT_EQ(json.status, 1);
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed.size(),
              static_cast<std::size_t>(std::count(differ.out.begin(), differ.out.end(), '\n')));
    EXPECT_EQ(parsed[0]["what"], "Channel 1 Input Keyboard");
    EXPECT_EQ(parsed[0]["before"], "IN1 (Swell)");

    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"diff", church, "missing.vrx"}, {"diff", "broken.vrx", church}, {"diff", church}}) {
        const auto run = vrxtool(bad);
        EXPECT_EQ(run.status, 2) << bad.back();
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(ReportCommands, ShowGivesThePinListInEachFormat) {
    const std::string church = fixture("church_console.vrx").string();
    struct Case {
        const char* format;
        const char* line;
    };
    for (const auto& c : {
             Case{"csv", "45,IN5,4,Ahlborn 202 Stop,2,3B - Chimes   [A]\r\n"},
             Case{"markdown", "| 45 | IN5 | 4 | Ahlborn 202 Stop | 2 | 3B - Chimes   [A] |\n"},
             Case{"html", "<tr><td>45</td><td>IN5</td><td>4</td><td>Ahlborn 202 Stop</td>"},
             Case{"text",
                  "  45   IN5   4    Ahlborn 202 Stop       2             3B - Chimes   [A]\n"},
         }) {
        const auto run = vrxtool({"show", "--format", c.format, church});
        ASSERT_EQ(run.status, 0) << c.format << run.err;
        EXPECT_NE(run.out.find(c.line), std::string::npos) << c.format << "\n" << run.out;
    }
    EXPECT_EQ(vrxtool({"show", "--format", "pdf", church}).status, 2);
}

}  // namespace
}  // namespace vrx::cli
