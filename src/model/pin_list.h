#pragma once

#include <string>
#include <vector>

#include "model/program_data.h"

namespace vrx {

// A table of the pin list: a heading, column captions and rows of cells.
struct PinListTable {
    std::string heading;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

// The sheet an organ builder files with the console: which configuration (program number
// or file name) and when, the 16 channel rows, the crescendo and tuning settings and the
// pins, in the editor's words. Every format below renders this one sheet.
struct PinListSheet {
    std::string title;  // "Program 5" or "church.vrx"
    std::string date;   // as the caller wants it shown, e.g. "2026-12-06"
    std::vector<PinListTable> tables;
};

// Unassigned pins are left out unless `allPins` is set.
PinListSheet pinListSheet(const ProgramData& data, const NameList& instruments, bool allPins,
                          std::string title, std::string date);

// Aligned columns for a terminal or a text file.
std::string renderPinListText(const PinListSheet& sheet);
// Comma-separated values: the title and date, then each table as its heading, its
// captions and its rows, tables apart by an empty line. Cells are quoted as RFC 4180 has it.
std::string renderPinListCsv(const PinListSheet& sheet);
// A complete, well-formed HTML page with one table per section, ready to print.
std::string renderPinListHtml(const PinListSheet& sheet);
// GitHub-flavoured Markdown tables.
std::string renderPinListMarkdown(const PinListSheet& sheet);

}  // namespace vrx
