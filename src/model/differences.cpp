#include "model/differences.h"

#include "model/program_words.h"

namespace vrx {
namespace {

void compareChannels(const ProgramData& before, const ProgramData& after,
                     std::vector<Difference>& out) {
    for (int c = 0; c < kMidiChannels; ++c) {
        const ChannelWords was = channelWords(before.channels[c]);
        const ChannelWords is = channelWords(after.channels[c]);
        const std::string channel = "Channel " + channelNumberText(c) + " ";
        const auto add = [&](const char* field, const std::string& from, const std::string& to) {
            if (from != to) {
                out.push_back({channel + field, from, to});
            }
        };
        add("Input Keyboard", was.inputKeyboard, is.inputKeyboard);
        add("Analog Input", was.analogInput, is.analogInput);
        add("Controller Type", was.controllerType, is.controllerType);
        add("Key Offset", was.keyOffset, is.keyOffset);
    }
}

std::string onOff(bool on) {
    return on ? "on" : "off";
}

void compareGeneralSettings(const ProgramData& before, const ProgramData& after,
                            std::vector<Difference>& out) {
    const auto add = [&](const std::string& what, const std::string& from, const std::string& to) {
        if (from != to) {
            out.push_back({what, from, to});
        }
    };
    add("Crescendo Analog Input", nameAt(tuningInputNames(), before.archiveAnalogInput),
        nameAt(tuningInputNames(), after.archiveAnalogInput));
    add("Crescendo MIDI Channel", channelNumberText(before.archiveMidiChannel),
        channelNumberText(after.archiveMidiChannel));
    add("Tuning Analog Input", nameAt(tuningInputNames(), before.tuningInput),
        nameAt(tuningInputNames(), after.tuningInput));
    for (int k = 0; k < kTuningOptions; ++k) {
        add("Tuning: " + tuningOptionCaptions()[k], onOff(before.tuningOptions[k]),
            onOff(after.tuningOptions[k]));
    }
}

void comparePins(const ProgramData& before, const ProgramData& after, const NameList& instruments,
                 std::vector<Difference>& out) {
    for (int r = 1; r <= kPinRows; ++r) {
        // Compared as shown: a channel or setting that an unassigned pin still carries
        // in its bytes makes no difference to the console.
        const std::string was = pinSummary(before.pins[r - 1], instruments);
        const std::string is = pinSummary(after.pins[r - 1], instruments);
        if (was != is) {
            out.push_back({pinLabel(r), was, is});
        }
    }
}

}  // namespace

std::string Difference::text() const {
    return what + ": " + before + " \u2192 " + after;
}

std::vector<Difference> compareConfigurations(const ProgramData& before, const ProgramData& after,
                                              const NameList& instruments) {
    std::vector<Difference> out;
    compareChannels(before, after, out);
    compareGeneralSettings(before, after, out);
    comparePins(before, after, instruments, out);
    return out;
}

std::string differencesText(const std::vector<Difference>& differences) {
    if (differences.empty()) {
        return "No differences\n";
    }
    std::string text;
    for (const auto& difference : differences) {
        text += difference.text() + "\n";
    }
    return text;
}

}  // namespace vrx
