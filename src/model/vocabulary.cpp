#include "model/vocabulary.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "protocol/text_lines.h"
#include "protocol/utf8_path.h"

namespace vrx {
namespace {

// Every stop entry starts with its unit code as two hex digits; the code list is read
// from the names so the two can never disagree.
CodeList codesOf(const NameList& names) {
    CodeList codes;
    for (const auto& name : names) {
        codes.push_back(static_cast<std::uint8_t>(std::stoi(name.substr(0, 2), nullptr, 16)));
    }
    return codes;
}

NameList numberNames(int first, int last) {
    NameList names;
    for (int n = first; n <= last; ++n) {
        names.push_back(std::to_string(n));
    }
    return names;
}

const NameList kRomantic = {
    "00 - Contre Gamba 16' [P]",
    "01 - Ophicleide 16' [P]",
    "02 - Contre Violone 32' [P]",
    "03 - Contre Basson 32' [P]",
    "06 - Cornopean 16' [A]",
    "07 - Cornet des Bombardes IV [A]",
    "08 - Tuba Mirabilis 8' [A]",
    "09 - Clarion 4' [A]",
    "0A - Orchestral Oboe 8' [A]",
    "0B - Clarinet 8' [A]",
    "0C - French Horn 8' [A]",
    "0D - Cor Anglais 8' [A]",
    "0E - Cello 8' [A]",
    "0F - Cello Celeste 8' [A]",
    "11 - Quint Flute 2 2/3' [B]",
    "12 - Piccolo 2' [B]",
    "13 - Vox Humana 8' [B]",
    "14 - Open Diapason 8' [B]",
    "15 - Flauto Mirabilis 8' [B]",
    "16 - Concert Flute 4' [B]",
};

const NameList kClassic = {
    "1A - Contre Gambe 16' [P]",    "1B - Bombarde 16' [P]",         "1C - Contre Basse 32' [P]",
    "1D - Contre Bombarde 32' [P]", "1E - Corno di Bassetto 8' [A]", "1F - Plein Jeu IV-V [A]",
    "20 - Clarion 4' [A]",          "21 - Festival Trumpet 8' [A]",  "22 - Gemshorn Celeste 8' [A]",
    "23 - Koppelflote 4' [A]",      "24 - Bombarde 16' [A]",         "25 - Harmonic Trumpet 8' [A]",
    "26 - Gemshorn 8' [A]",         "27 - Flute a Cheminee 8' [A]",  "28 - Flute Octaviante 4' [B]",
    "29 - Octave 2' [B]",           "2A - Cymbale III [B]",          "2B - Principal 8' [B]",
    "2C - Holzgedackt 8' [B]",      "2D - Flute Harmonique 8' [B]",
};

const NameList k202 = {
    "2E - Soubasse 32' [P]",
    "2F - Violone 16' [P]",
    "30 - Contrebombarde 32' [P]",
    "31 - Bombarde 16' [P]",
    "32 - Contregambe 16' [A]",
    "33 - Diapason 8' [A]",
    "34 - Quintadena 8' [A]",
    "35 - Terz 1 3/5' [A]",
    "36 - Septime 1 1/7' [A]",
    "37 - Scharff III [A]",
    "38 - Bombarde 16' [A]",
    "39 - Trompette 8' [A]",
    "3A - Tuba Mirabilis 8' [A]",
    "3B - Chimes   [A]",
    "3C - Bourdon 8' [B]",
    "3D - Flute Harmonique 8' [B]",
    "3E - Flute Octaviante 4' [B]",
    "3F - Larigot 1 1/3' [B]",
    "40 - Corno di Bassetto 8' [B] ",
    "41 - Clairon 4' [B] ",
};

const NameList k201 = {
    "42 - Subbass 16' [P]",         "43 - Octave 8' [P]",
    "44 - Bourdon 8' [P]",          "45 - Posaune 16' [P]",
    "46 - Bourdon 16' [A]",         "47 - Principal 8' [A]",
    "48 - Flute a cheminee 8' [A]", "49 - Unda Maris 8' [A]",
    "4A - Octave 4' [A]",           "4B - Spitzflote 4' [A] ",
    "4C - Nasard 2 2/3' [A]",       "4D - Superoctave 2' [A]",
    "4E - Mixture IV [A] ",         "4F - Trompete 8' [A]",
    "50 - Gedackt 8' [B]",          "51 - Gamba 8' [B]",
    "52 - Nachthorn 4' [B]",        "53 - Cymbale/Scharff III [B]",
    "54 - Cornet III [B]",          "55 - Oboe 8' [B]",
};

const NameList kCommon = {
    "04 - A/P coupler",
    "05 - B to Pd coupler",
    "10 - B to A coupler",
    "17 - A to B coupler",
    "18 - A to Aux coupler",
    "19 - B to Aux coupler",
    "56 - All stops On/Off",
    "57 - Swell Tremulant",
    "58 - Great Tremulant",
    "59 - Choir Tremulant",
    "80 - Ahlborn - General Cancel",
    "81 - Ahlborn - Mem. A Gen. #1",
    "82 - Ahlborn - Mem. A Gen. #2",
    "83 - Ahlborn - Mem. A Gen. #3",
    "84 - Ahlborn - Mem. A Gen. #4",
    "85 - Ahlborn - Mem. A Gen. #5",
    "86 - Ahlborn - Mem. A Gen. #6",
    "87 - Ahlborn - Mem. B Gen. #1",
    "88 - Ahlborn - Mem. B Gen. #2",
    "89 - Ahlborn - Mem. B Gen. #3",
    "8A - Ahlborn - Mem. B Gen. #4",
    "8B - Ahlborn - Mem. B Gen. #5",
    "8C - Ahlborn - Mem.B Gen. #6",
    "8D - Ahlborn - Mem. C Gen. #1",
    "8E - Ahlborn - Mem. C Gen. #2",
    "8F - Ahlborn - Mem. C Gen. #3",
    "90 - Ahlborn - Mem. C Gen. #4",
    "91 - Ahlborn - Mem. C Gen. #5",
    "92 - Ahlborn - Mem. C Gen. #6",
    "93 - Ahlborn - Mem. D Gen. #1",
    "94 - Ahlborn - Mem. D Gen. #2",
    "95 - Ahlborn - Mem. D Gen. #3",
    "96 - Ahlborn - Mem. D Gen. #4",
    "97 - Ahlborn - Mem. D Gen. #5",
    "98 - Ahlborn - Mem. D Gen. #6",
    "99 - Ahlborn - Mem. E Gen. #1",
    "9A - Ahlborn - Mem. E Gen. #2",
    "9B - Ahlborn - Mem. E Gen. #3",
    "9C - Ahlborn - Mem. E Gen. #4",
    "9D - Ahlborn - Mem. E Gen. #5",
    "9E - Ahlborn - Mem. E Gen. #6",
    "E4 - Cancel Crescendo",
    "E5 - Crescendo Stage #1 / Off",
    "E6 - Crescendo Stage #2 / 1",
    "E7 - Crescendo Stage #3 / 2",
    "E8 - Crescendo Stage #4 / 3",
    "E9 - Crescendo Stage #5 / 4",
    "EA - Crescendo Stage #6 / 5",
    "EB - Crescendo Stage #7 / 6",
    "EC - Crescendo Stage #8 / 7",
    "ED - Crescendo Stage #9 / 8",
    "EE - Crescendo Stage #10/ 9",
    "EF - Crescendo Stage #11/10",
    "F7 - Crescendo Stage #12/11",
    "F8 - Crescendo Stage #13/12",
    "F9 - Crescendo Stage #14/13",
    "FA - Crescendo Stage #15/14",
    "FB - Crescendo Stage #16/15",
    "FC - Crescendo Stage #17/16",
    "FD - Crescendo Stage #18/17",
    "FE - Crescendo Stage #19/18",
    "FF - Crescendo Stage #20/19",
    "5A - Ahlborn - Division Cancel",
    "5E - SET piston",
    "5F - SFZ control",
};

constexpr int kTqUnits = 7;
constexpr int kTqTabs = 12;

// "Unit #u, Tab #t" with the code 16u + t.
struct Tq450Tabs {
    NameList names;
    CodeList codes;
};
const Tq450Tabs& tq450Tabs() {
    static const Tq450Tabs tabs = [] {
        Tq450Tabs t;
        for (int unit = 1; unit <= kTqUnits; ++unit) {
            for (int tab = 1; tab <= kTqTabs; ++tab) {
                t.names.push_back("Unit #" + std::to_string(unit) + ", Tab #" +
                                  std::to_string(tab));
                t.codes.push_back(static_cast<std::uint8_t>(16 * unit + tab));
            }
        }
        return t;
    }();
    return tabs;
}

const NameList& stopList(int function) {
    static const NameList empty;
    switch (function) {
        case kRomanticStop:
            return kRomantic;
        case kClassicStop:
            return kClassic;
        case kAhlborn202Stop:
            return k202;
        case kAhlborn201Stop:
            return k201;
        case kCommonAhlborn:
            return kCommon;
        case kTq450Stop:
            return tq450Tabs().names;
        default:
            return empty;
    }
}

}  // namespace

const NameList& functionNames() {
    static const NameList names = {
        "Unassigned",       "Ahlborn ROMANTIC Stop", "Ahlborn CLASSIC Stop",
        "Ahlborn 202 Stop", "Ahlborn 201 Stop",      "Common Ahlborn",
        "MIDI Stop",        "Bank Select MSB",       "Bank Select LSB",
        "Program Change",   "Note On/Off",           "TQ-450 Stop",
        "TQ-450 Trem",      "TQ-450 Cancel",
    };
    return names;
}

const NameList& controllerNames() {
    static const NameList names = {"Volume (7)", "Expression (11)"};
    return names;
}

const NameList& keyboardNames() {
    static const NameList names = {"None", "IN1 (Swell)", "IN2 (Great)", "IN3 (Choir)",
                                   "IN4 (Pedal)"};
    return names;
}

const NameList& analogInputNames() {
    static const NameList names = {"None", "#1", "#2", "#3", "#4"};
    return names;
}

const NameList& tuningInputNames() {
    // There is no "#5": the sixth entry is the unit's analog input #6.
    static const NameList names = {"None", "#1", "#2", "#3", "#4", "#6"};
    return names;
}

const NameList& midiChannelNumbers() {
    static const NameList names = numberNames(1, kMidiChannels);
    return names;
}

const NameList& midiStopKeyboards() {
    static const NameList names(keyboardNames().begin() + 1, keyboardNames().end());
    return names;
}

const NameList& tuningOptionCaptions() {
    static const NameList names = {
        "Enable the Temperature Sensor Input",
        "Enable the analog output for tuning Ahlborn Archive modules",
        "Enable sending of a TQ-450 format SysEx message for tuning",
        "Enable sending of Universal Realtime SysEx - Master Fine Tuning",
        "Enable sending of a custom SysEx tuning message (for future use)",
    };
    return names;
}

const NameList& parameterList(int function) {
    return stopList(function);
}

const CodeList& parameterCodes(int function) {
    static const CodeList romantic = codesOf(kRomantic), classic = codesOf(kClassic),
                          a202 = codesOf(k202), a201 = codesOf(k201), common = codesOf(kCommon),
                          empty;
    switch (function) {
        case kRomanticStop:
            return romantic;
        case kClassicStop:
            return classic;
        case kAhlborn202Stop:
            return a202;
        case kAhlborn201Stop:
            return a201;
        case kCommonAhlborn:
            return common;
        case kTq450Stop:
            return tq450Tabs().codes;
        default:
            return empty;
    }
}

std::optional<StopCodeMatch> findStopCode(std::uint8_t code) {
    for (int function = kRomanticStop; function <= kCommonAhlborn; ++function) {
        const auto& codes = parameterCodes(function);
        for (std::size_t j = 0; j < codes.size(); ++j) {
            if (codes[j] == code) {
                return StopCodeMatch{function, static_cast<int>(j)};
            }
        }
    }
    return std::nullopt;
}

std::string noteName(int note) {
    static const char* const kLetters[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                           "F#", "G",  "G#", "A",  "A#", "B"};
    return std::to_string(note) + " (" + kLetters[note % 12] + std::to_string(note / 12 - 2) + ")";
}

NameList fallbackInstrumentNames() {
    NameList names;
    for (int k = 1; k <= kMidiValues; ++k) {
        names.push_back(" " + std::to_string(k));
    }
    return names;
}

NameList loadInstrumentNames(const std::string& path,
                             const std::function<void(std::string_view)>& log) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) {
        if (log) {
            log("Error in patch loading.");
        }
        return fallbackInstrumentNames();
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    NameList names;
    for (const auto line : textLines(text)) {
        names.push_back(std::to_string(names.size() + 1) + " - " + std::string(line));
    }
    return names;
}

NameList settingNames(int function, const NameList& instruments) {
    switch (function) {
        case kMidiStop:
            return midiStopKeyboards();
        case kBankSelectMsb:
        case kBankSelectLsb:
        case kTq450Trem:
            return numberNames(0, kMidiValues - 1);
        case kProgramChange: {
            // A program change carries programs 0 to 127 only: a longer name file must
            // not offer entries that would be written as a value the unit cannot hold.
            const auto n = std::min<std::size_t>(instruments.size(), kMidiValues);
            return NameList(instruments.begin(), instruments.begin() + static_cast<long>(n));
        }
        case kNoteOnOff: {
            NameList notes;
            for (int n = 0; n < kMidiValues; ++n) {
                notes.push_back(noteName(n));
            }
            return notes;
        }
        default:
            return stopList(function);
    }
}

std::string settingText(int function, int setting, const NameList& instruments) {
    if (!usesChannelAndSetting(function) || setting < 0) {
        return {};
    }
    if (function == kNoteOnOff) {
        return setting < kMidiValues ? noteName(setting) : std::string{};
    }
    const auto names = settingNames(function, instruments);
    return static_cast<std::size_t>(setting) < names.size() ? names[setting] : std::string{};
}

}  // namespace vrx
