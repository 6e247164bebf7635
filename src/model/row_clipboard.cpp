#include "model/row_clipboard.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "model/program_words.h"

namespace vrx {
namespace {

using Cells = std::vector<std::string>;

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\"");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\"");
    return std::string(text.substr(first, last - first + 1));
}

bool sameWords(std::string_view a, std::string_view b) {
    const std::string x = trimmed(a), y = trimmed(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
        return std::tolower(static_cast<unsigned char>(p)) ==
               std::tolower(static_cast<unsigned char>(q));
    });
}

std::optional<int> positionIn(const NameList& names, std::string_view cell) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sameWords(names[i], cell)) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

// Lines of cells; a spreadsheet ends its copy with a line break, which adds no row.
std::vector<Cells> splitTable(std::string_view text) {
    std::vector<Cells> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        Cells cells;
        std::size_t cellStart = start;
        while (true) {
            const auto tab = text.find('\t', cellStart);
            if (tab == std::string_view::npos || tab >= end) {
                cells.push_back(trimmed(text.substr(cellStart, end - cellStart)));
                break;
            }
            cells.push_back(trimmed(text.substr(cellStart, tab - cellStart)));
            cellStart = tab + 1;
        }
        lines.push_back(std::move(cells));
        start = end + 1;
    }
    while (!lines.empty() && lines.back().size() == 1 && lines.back()[0].empty()) {
        lines.pop_back();
    }
    return lines;
}

std::string joined(const Cells& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += (i ? "\t" : "") + cells[i];
    }
    return line + "\n";
}

// Which rows the lines go to, or why they cannot go anywhere.
Result<std::vector<int>> targetRows(std::vector<int> selected, std::size_t lines, int lastRow,
                                    const std::string& rowWord, int shownOffset) {
    std::sort(selected.begin(), selected.end());
    if (lines == 0 || selected.empty()) {
        return Result<std::vector<int>>::failure("There is nothing to paste.");
    }
    if (selected.size() == 1) {
        const int first = selected.front();
        const int last = first + static_cast<int>(lines) - 1;
        if (last > lastRow) {
            return Result<std::vector<int>>::failure(
                "The " + std::to_string(lines) + " rows pasted from " + rowWord + " " +
                std::to_string(first + shownOffset) + " would run past the last row.");
        }
        std::vector<int> rows;
        for (int r = first; r <= last; ++r) {
            rows.push_back(r);
        }
        return rows;
    }
    if (lines != 1 && lines != selected.size()) {
        return Result<std::vector<int>>::failure("The clipboard holds " + std::to_string(lines) +
                                                 " rows but " + std::to_string(selected.size()) +
                                                 " rows are selected.");
    }
    return selected;
}

Result<PinAssignment> parsePinRow(const Cells& cells, const std::string& where,
                                  const NameList& instruments) {
    using R = Result<PinAssignment>;
    PinAssignment pin;
    const std::string function = cells.empty() ? std::string{} : cells[0];
    const auto f = positionIn(functionNames(), function);
    if (!f) {
        return R::failure(where + " Function: \"" + function + "\" is not a function.");
    }
    pin.pinFunction = *f;
    if (!usesChannelAndSetting(pin.pinFunction)) {
        return pin;
    }
    const std::string channel = cells.size() > 1 ? cells[1] : std::string{};
    const auto c = positionIn(midiChannelNumbers(), channel);
    if (!c) {
        return R::failure(where + " MIDI Channel: \"" + channel +
                          "\" is not a channel from 1 to 16.");
    }
    pin.pinMidiChannel = *c;
    const std::string setting = cells.size() > 2 ? cells[2] : std::string{};
    const auto s = positionIn(settingNames(pin.pinFunction, instruments), setting);
    if (!s) {
        return R::failure(where + " Setting: \"" + setting + "\" is not in the list of " +
                          functionNames()[pin.pinFunction] + ".");
    }
    pin.pinSubFunction = *s;
    return pin;
}

std::optional<int> parseKeyOffset(const std::string& cell) {
    for (int offset = kKeyOffsetMin; offset <= kKeyOffsetMax; ++offset) {
        if (cell == keyOffsetText(offset) || cell == std::to_string(offset)) {
            return offset;
        }
    }
    return std::nullopt;
}

Result<ChannelSetting> parseChannelRow(const Cells& cells, const std::string& where) {
    using R = Result<ChannelSetting>;
    const auto cell = [&](std::size_t i) { return i < cells.size() ? cells[i] : std::string{}; };
    const auto pick = [&](std::size_t i, const NameList& names) {
        return positionIn(names, cell(i));
    };
    const auto keyboard = pick(0, keyboardNames());
    if (!keyboard) {
        return R::failure(where + " Input Keyboard: \"" + cell(0) + "\" is not a keyboard.");
    }
    const auto analog = pick(1, analogInputNames());
    if (!analog) {
        return R::failure(where + " Analog Input: \"" + cell(1) + "\" is not an analog input.");
    }
    const auto controller = pick(2, controllerNames());
    if (!controller) {
        return R::failure(where + " Controller Type: \"" + cell(2) +
                          "\" is not a controller type.");
    }
    const auto offset = parseKeyOffset(cell(3));
    if (!offset) {
        return R::failure(where + " Key Offset: \"" + cell(3) +
                          "\" is not an offset from -36 to +91.");
    }
    return ChannelSetting{*keyboard, *analog, *controller, *offset};
}

}  // namespace

std::string copyPinRows(const ProgramData& data, const std::vector<int>& rows,
                        const NameList& instruments) {
    std::string text;
    for (const int r : rows) {
        const PinWords words = pinWords(data.pins.at(static_cast<std::size_t>(r - 1)), instruments);
        text += joined({words.function, words.midiChannel, words.setting});
    }
    return text;
}

std::string copyChannelRows(const ProgramData& data, const std::vector<int>& channels) {
    std::string text;
    for (const int c : channels) {
        const ChannelWords words = channelWords(data.channels.at(static_cast<std::size_t>(c)));
        text +=
            joined({words.inputKeyboard, words.analogInput, words.controllerType, words.keyOffset});
    }
    return text;
}

Result<ProgramData> pastePinRows(const ProgramData& data, std::vector<int> rows,
                                 std::string_view text, const NameList& instruments) {
    const auto lines = splitTable(text);
    const auto targets = targetRows(std::move(rows), lines.size(), kPinRows, "pin", 0);
    if (!targets) {
        return Result<ProgramData>::failure(targets.error());
    }
    ProgramData pasted = data;
    for (std::size_t i = 0; i < targets->size(); ++i) {
        const int row = (*targets)[i];
        const auto pin = parsePinRow(lines[lines.size() == 1 ? 0 : i], "Pin " + std::to_string(row),
                                     instruments);
        if (!pin) {
            return Result<ProgramData>::failure(pin.error());
        }
        pasted.pins[row - 1] = *pin;
    }
    return pasted;
}

Result<ProgramData> pasteChannelRows(const ProgramData& data, std::vector<int> channels,
                                     std::string_view text) {
    const auto lines = splitTable(text);
    const auto targets =
        targetRows(std::move(channels), lines.size(), kMidiChannels - 1, "channel", 1);
    if (!targets) {
        return Result<ProgramData>::failure(targets.error());
    }
    ProgramData pasted = data;
    for (std::size_t i = 0; i < targets->size(); ++i) {
        const int channel = (*targets)[i];
        const auto row = parseChannelRow(lines[lines.size() == 1 ? 0 : i],
                                         "Channel " + channelNumberText(channel));
        if (!row) {
            return Result<ProgramData>::failure(row.error());
        }
        pasted.channels[channel] = *row;
    }
    return pasted;
}

}  // namespace vrx
