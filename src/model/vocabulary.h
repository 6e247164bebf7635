#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

// The fixed lists the editor offers. Positions in every list are the values the
// configuration stores (0 = first entry).
using NameList = std::vector<std::string>;
using CodeList = std::vector<std::uint8_t>;

enum PinFunction : int {
    kUnassigned = 0,
    kRomanticStop = 1,
    kClassicStop = 2,
    kAhlborn202Stop = 3,
    kAhlborn201Stop = 4,
    kCommonAhlborn = 5,
    kMidiStop = 6,
    kBankSelectMsb = 7,
    kBankSelectLsb = 8,
    kProgramChange = 9,
    kNoteOnOff = 10,
    kTq450Stop = 11,
    kTq450Trem = 12,
    kTq450Cancel = 13,
};
constexpr int kPinFunctionCount = 14;
constexpr int kMidiChannels = 16;
constexpr int kMidiValues = 128;

const NameList& functionNames();
const NameList& controllerNames();
const NameList& keyboardNames();
const NameList& analogInputNames();
const NameList& tuningInputNames();
const NameList& midiChannelNumbers();  // "1" to "16"
const NameList& midiStopKeyboards();   // the four keyboards a MIDI Stop refers to
const NameList& tuningOptionCaptions();

// Setting names and unit codes of the functions that carry a stop code
// (1 to 5 and "TQ-450 Stop"); empty for every other function.
const NameList& parameterList(int function);
const CodeList& parameterCodes(int function);

// Whether a pin of this function uses its MIDI channel and setting at all.
constexpr bool usesChannelAndSetting(int function) {
    return function != kUnassigned && function != kTq450Cancel;
}

struct StopCodeMatch {
    int function = 0;
    int position = 0;
};
// The first of functions 1 to 5 whose code list holds the code, at its first position.
std::optional<StopCodeMatch> findStopCode(std::uint8_t code);

// "60 (C3)": the note number, its letter and its octave (note 0 is C-2).
std::string noteName(int note);

// General MIDI program names as "1 - Acoustic Grand Piano". Read from genmidi.txt, one
// name per line; when the file cannot be read the list is the numbers " 1" to " 128"
// and `log` hears about it.
NameList loadInstrumentNames(const std::string& path,
                             const std::function<void(std::string_view)>& log = {});
NameList fallbackInstrumentNames();

// The entries the Setting column offers for a function: stop names, keyboards,
// numbers, instruments or notes. Empty for functions 0 and 13.
NameList settingNames(int function, const NameList& instruments);

// The text the editor shows for a setting: empty when the index lies beyond the list.
std::string settingText(int function, int setting, const NameList& instruments);

}  // namespace vrx
