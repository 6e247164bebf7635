#include "model/pin_list.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(PinList, EveryFormatShowsTheSheetAndQuotesWhatWouldBreakIt) {
    ProgramData data;
    data.channels[0] = {1, 1, 1, 0};
    data.pins[41] = {kRomanticStop, 2, 0};  // "00 - Contre Gamba 16' [P]"
    data.pins[44] = {kProgramChange, 0, 1};
    data.pins[57] = {kTq450Cancel, 0, 0};
    const NameList instruments = {"1 - Piano", "2 - <Piano>, \"bright\""};
    const auto sheet =
        pinListSheet(data, instruments, false, "Console \"St. Mary\", 1", "2026-12-06");
    ASSERT_EQ(sheet.tables.size(), 4u);
    EXPECT_EQ(sheet.tables[3].heading, "Pin Configuration: 3 of 105 pins assigned");
    EXPECT_EQ(pinListSheet(data, instruments, true, "", "").tables[3].rows.size(), 105u);

    const auto csv = renderPinListCsv(sheet);
    const std::string head =
        "\"Console \"\"St. Mary\"\", 1\"\r\n2026-12-06\r\n\r\n"
        "MIDI Channel Configuration\r\n"
        "#,Input Keyboard,Analog Input,Controller Type,Key Offset\r\n"
        "1,IN1 (Swell),#1,Expression (11),0\r\n";
    EXPECT_EQ(csv.substr(0, head.size()), head);
    EXPECT_NE(csv.find("\r\n45,IN5,4,Program Change,1,\"2 - <Piano>, \"\"bright\"\"\"\r\n"),
              std::string::npos);

    EXPECT_EQ(renderPinListText(sheet).rfind("Console \"St. Mary\", 1\n2026-12-06\n", 0), 0u);
    const std::string html = renderPinListHtml(sheet);
    EXPECT_NE(html.find("<td>2 - &lt;Piano&gt;, &quot;bright&quot;</td>"), std::string::npos);
    EXPECT_NE(html.find("<td>00 - Contre Gamba 16&#39; [P]</td>"), std::string::npos);
    const std::string markdown = renderPinListMarkdown(sheet);
    EXPECT_NE(
        markdown.find("| 42 | IN5 | 1 | Ahlborn ROMANTIC Stop | 3 | 00 - Contre Gamba 16' [P] |\n"),
        std::string::npos);
    EXPECT_NE(markdown.find("| \\# | Slot | Pin | Function | MIDI Channel | Setting |\n| --- |"),
              std::string::npos);
}

}  // namespace
}  // namespace vrx
