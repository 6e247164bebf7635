#include "model/pin_list.h"

#include <algorithm>

#include "model/program_words.h"

namespace vrx {
namespace {

PinListTable channelTable(const ProgramData& data) {
    PinListTable table{"MIDI Channel Configuration",
                       {"#", "Input Keyboard", "Analog Input", "Controller Type", "Key Offset"},
                       {}};
    for (int c = 0; c < kMidiChannels; ++c) {
        const ChannelWords words = channelWords(data.channels[c]);
        table.rows.push_back({channelNumberText(c), words.inputKeyboard, words.analogInput,
                              words.controllerType, words.keyOffset});
    }
    return table;
}

PinListTable crescendoTable(const ProgramData& data) {
    return {"Ahlborn Archive Crescendo",
            {"Setting", "Value"},
            {{"Analog Input", nameAt(tuningInputNames(), data.archiveAnalogInput)},
             {"MIDI Channel", channelNumberText(data.archiveMidiChannel)}}};
}

PinListTable tuningTable(const ProgramData& data) {
    PinListTable table{"Tuning Configuration",
                       {"Setting", "Value"},
                       {{"Analog Input to be used as a tuning pot",
                         nameAt(tuningInputNames(), data.tuningInput)}}};
    for (int k = 0; k < kTuningOptions; ++k) {
        table.rows.push_back({tuningOptionCaptions()[k], data.tuningOptions[k] ? "Yes" : "No"});
    }
    return table;
}

PinListTable pinTable(const ProgramData& data, const NameList& instruments, bool allPins) {
    const auto assigned = std::count_if(data.pins.begin(), data.pins.end(), [](const auto& pin) {
        return pin.pinFunction != kUnassigned;
    });
    PinListTable table{"Pin Configuration: " + std::to_string(assigned) + " of " +
                           std::to_string(kPinRows) + " pins assigned",
                       {"#", "Slot", "Pin", "Function", "MIDI Channel", "Setting"},
                       {}};
    for (int r = 1; r <= kPinRows; ++r) {
        const PinAssignment& pin = data.pins[r - 1];
        if (pin.pinFunction == kUnassigned && !allPins) {
            continue;
        }
        const PinLocation where = pinLocation(r);
        const PinWords words = pinWords(pin, instruments);
        table.rows.push_back({std::to_string(r), where.pinName, std::to_string(where.pinNum),
                              words.function, words.midiChannel, words.setting});
    }
    return table;
}

// Each cell padded to its column's widest text, two spaces in front of every line.
std::string alignedRows(const PinListTable& table) {
    std::vector<std::size_t> widths(table.columns.size());
    const auto measure = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], cells[i].size());
        }
    };
    measure(table.columns);
    std::for_each(table.rows.begin(), table.rows.end(), measure);
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text = " ";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            text += " " + cells[i];
            text.append(widths[i] - cells[i].size(), ' ');
            text += ' ';
        }
        text.erase(text.find_last_not_of(' ') + 1);
        return text + "\n";
    };
    std::string out = line(table.columns);
    for (const auto& row : table.rows) {
        out += line(row);
    }
    return out;
}

// Two-column settings read better as "caption: value" than as a table.
bool isSettingsTable(const PinListTable& table) {
    return table.columns.size() == 2;
}

std::string csvCell(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string csvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += (i ? "," : "") + csvCell(cells[i]);
    }
    return line + "\r\n";
}

std::string htmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string htmlRow(const std::vector<std::string>& cells, const char* tag) {
    std::string row = "<tr>";
    for (const auto& cell : cells) {
        row += std::string("<") + tag + ">" + htmlEscaped(cell) + "</" + tag + ">";
    }
    return row + "</tr>\n";
}

std::string markdownCell(const std::string& cell) {
    std::string out;
    for (const char c : cell) {
        if (c == '|' || c == '\\' || c == '*' || c == '_' || c == '#') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string markdownRow(const std::vector<std::string>& cells) {
    std::string row = "|";
    for (const auto& cell : cells) {
        row += " " + markdownCell(cell) + " |";
    }
    return row + "\n";
}

}  // namespace

PinListSheet pinListSheet(const ProgramData& data, const NameList& instruments, bool allPins,
                          std::string title, std::string date) {
    return {std::move(title),
            std::move(date),
            {channelTable(data), crescendoTable(data), tuningTable(data),
             pinTable(data, instruments, allPins)}};
}

std::string renderPinListText(const PinListSheet& sheet) {
    std::string out = sheet.title + "\n" + sheet.date + "\n";
    for (const auto& table : sheet.tables) {
        out += "\n" + table.heading + "\n";
        if (isSettingsTable(table)) {
            for (const auto& row : table.rows) {
                out += "  " + row[0] + ": " + row[1] + "\n";
            }
        } else {
            out += alignedRows(table);
        }
    }
    return out;
}

std::string renderPinListCsv(const PinListSheet& sheet) {
    std::string out = csvLine({sheet.title}) + csvLine({sheet.date});
    for (const auto& table : sheet.tables) {
        out += "\r\n" + csvLine({table.heading}) + csvLine(table.columns);
        for (const auto& row : table.rows) {
            out += csvLine(row);
        }
    }
    return out;
}

std::string renderPinListHtml(const PinListSheet& sheet) {
    std::string out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\"/>\n<title>" +
                      htmlEscaped(sheet.title) +
                      "</title>\n<style>\nbody { font-family: sans-serif; font-size: 10pt; }\n"
                      "table { border-collapse: collapse; margin-bottom: 12pt; }\n"
                      "th, td { border: 1px solid #888; padding: 2px 6px; text-align: left; }\n"
                      "</style>\n</head>\n<body>\n<h1>" +
                      htmlEscaped(sheet.title) + "</h1>\n<p>" + htmlEscaped(sheet.date) + "</p>\n";
    for (const auto& table : sheet.tables) {
        // Wide tables take the page's width so that long names need not wrap.
        const char* open = isSettingsTable(table) ? "<table>\n" : "<table width=\"100%\">\n";
        // A header row in <thead> is repeated on every printed page the table covers.
        out += "<h2>" + htmlEscaped(table.heading) + "</h2>\n" + open + "<thead>" +
               htmlRow(table.columns, "th") + "</thead>\n";
        for (const auto& row : table.rows) {
            out += htmlRow(row, "td");
        }
        out += "</table>\n";
    }
    return out + "</body>\n</html>\n";
}

std::string renderPinListMarkdown(const PinListSheet& sheet) {
    std::string out = "# " + markdownCell(sheet.title) + "\n\n" + sheet.date + "\n";
    for (const auto& table : sheet.tables) {
        out += "\n## " + markdownCell(table.heading) + "\n\n" + markdownRow(table.columns) + "|";
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            out += " --- |";
        }
        out += "\n";
        for (const auto& row : table.rows) {
            out += markdownRow(row);
        }
    }
    return out;
}

}  // namespace vrx
