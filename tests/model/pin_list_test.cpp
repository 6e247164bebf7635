#include "model/pin_list.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

// Reads comma-separated values as a spreadsheet would: quoted cells may hold commas,
// quotes (doubled) and line breaks.
std::vector<std::vector<std::string>> readCsv(const std::string& text) {
    std::vector<std::vector<std::string>> lines(1);
    std::string cell;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            lines.back().push_back(std::move(cell));
            cell.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            lines.back().push_back(std::move(cell));
            cell.clear();
            lines.emplace_back();
            ++i;
        } else {
            cell += c;
        }
    }
    lines.pop_back();  // after the last line break
    return lines;
}

ProgramData sample() {
    ProgramData data;
    data.channels[0] = {1, 1, 1, 0};
    data.pins[41] = {kRomanticStop, 2, 0};  // "00 - Contre Gamba 16' [P]"
    data.pins[44] = {kProgramChange, 0, 1};
    data.pins[57] = {kTq450Cancel, 0, 0};
    return data;
}

TEST(PinList, CsvReadsBackToTheSameTables) {
    // A title with a comma and quotes must survive as one cell.
    const NameList instruments = {"1 - Piano", "2 - Piano, \"bright\""};
    const auto sheet =
        pinListSheet(sample(), instruments, false, "Console \"St. Mary\", 1", "2026-12-06");
    ASSERT_EQ(sheet.tables.size(), 4u);
    EXPECT_EQ(sheet.tables[3].heading, "Pin Configuration: 3 of 105 pins assigned");

    std::vector<std::vector<std::string>> expected = {{sheet.title}, {sheet.date}};
    for (const auto& table : sheet.tables) {
        expected.push_back({""});
        expected.push_back({table.heading});
        expected.push_back(table.columns);
        expected.insert(expected.end(), table.rows.begin(), table.rows.end());
    }
    EXPECT_EQ(readCsv(renderPinListCsv(sheet)), expected);
    EXPECT_EQ(sheet.tables[3].rows[1], (std::vector<std::string>{"45", "IN5", "4", "Program Change",
                                                                 "1", "2 - Piano, \"bright\""}));
}

TEST(PinList, EveryFormatShowsTheSameSheet) {
    const auto sheet = pinListSheet(sample(), {"1 - Piano", "2 - Bright <Piano>"}, true,
                                    "organ.vrx", "2026-12-06");
    EXPECT_EQ(sheet.tables[3].rows.size(), 105u);

    EXPECT_EQ(renderPinListText(sheet).rfind("organ.vrx\n2026-12-06\n", 0), 0u);

    const std::string html = renderPinListHtml(sheet);
    EXPECT_NE(html.find("<td>2 - Bright &lt;Piano&gt;</td>"), std::string::npos);
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
