#include "cli/program_report.h"

#include <algorithm>
#include <vector>

namespace vrx::cli {
namespace {

// Lines up columns: each cell is padded to its column's widest text.
class Table {
public:
    void add(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

    std::string text() const {
        std::vector<std::size_t> widths;
        for (const auto& row : rows_) {
            widths.resize(std::max(widths.size(), row.size()));
            for (std::size_t i = 0; i < row.size(); ++i) {
                widths[i] = std::max(widths[i], row[i].size());
            }
        }
        std::string out;
        for (const auto& row : rows_) {
            std::string line = " ";
            for (std::size_t i = 0; i < row.size(); ++i) {
                line += " " + row[i];
                line.append(widths[i] - row[i].size(), ' ');
                line += ' ';
            }
            line.erase(line.find_last_not_of(' ') + 1);
            out += line + "\n";
        }
        return out;
    }

private:
    std::vector<std::vector<std::string>> rows_;
};

std::string channelText(int channel) {
    return std::to_string(channel + 1);
}

}  // namespace

std::string programReport(const ProgramData& data, const NameList& instruments, bool allPins) {
    std::string out = "MIDI Channel Configuration\n";
    Table channels;
    channels.add({"#", "Input Keyboard", "Analog Input", "Controller Type", "Key Offset"});
    for (int c = 0; c < kMidiChannels; ++c) {
        const auto& channel = data.channels[c];
        channels.add({channelText(c), keyboardNames()[channel.inputKeyboard],
                      analogInputNames()[channel.analogInput],
                      controllerNames()[channel.controllerType], keyOffsetText(channel.keyOffset)});
    }
    out += channels.text();

    out += "\nAhlborn Archive Crescendo\n";
    out += "  Analog Input: " + tuningInputNames()[data.archiveAnalogInput] + "\n";
    out += "  MIDI Channel: " + channelText(data.archiveMidiChannel) + "\n";

    out += "\nTuning Configuration\n";
    out +=
        "  Analog Input to be used as a tuning pot: " + tuningInputNames()[data.tuningInput] + "\n";
    for (int k = 0; k < kTuningOptions; ++k) {
        out += std::string("  [") + (data.tuningOptions[k] ? "x" : " ") + "] " +
               tuningOptionCaptions()[k] + "\n";
    }

    const auto assigned = std::count_if(data.pins.begin(), data.pins.end(), [](const auto& pin) {
        return pin.pinFunction != kUnassigned;
    });
    out += "\nPin Configuration: " + std::to_string(assigned) + " of " + std::to_string(kPinRows) +
           " pins assigned\n";
    Table pins;
    pins.add({"#", "Slot", "Pin", "Function", "MIDI Channel", "Setting"});
    for (int r = 1; r <= kPinRows; ++r) {
        const auto& pin = data.pins[r - 1];
        if (pin.pinFunction == kUnassigned && !allPins) {
            continue;
        }
        const auto location = pinLocation(r);
        const bool used = usesChannelAndSetting(pin.pinFunction);
        pins.add({std::to_string(r), location.pinName, std::to_string(location.pinNum),
                  functionNames()[pin.pinFunction], used ? channelText(pin.pinMidiChannel) : "",
                  settingText(pin.pinFunction, pin.pinSubFunction, instruments)});
    }
    out += pins.text();
    return out;
}

}  // namespace vrx::cli
