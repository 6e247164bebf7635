#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vrx {

// The MIDI service the program's ports go through. On Linux the user chooses between
// the ALSA sequencer (the default: every USB MIDI interface is there) and a JACK server;
// other platforms have one service, which `kAlsa` then stands for.
enum class MidiApi { kAlsa, kJack };

// "alsa" and "jack", as --midi-api and the settings file's "Api" spell them.
inline std::string_view midiApiName(MidiApi api) {
    return api == MidiApi::kJack ? "jack" : "alsa";
}

// The service as a user knows it: "ALSA", "JACK".
inline std::string_view midiApiTitle(MidiApi api) {
    return api == MidiApi::kJack ? "JACK" : "ALSA";
}

// Any case: a settings file edited by hand may say "JACK".
inline std::optional<MidiApi> midiApiFromName(std::string_view name) {
    std::string lower(name);
    for (auto& c : lower) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (lower == midiApiName(MidiApi::kAlsa)) {
        return MidiApi::kAlsa;
    }
    if (lower == midiApiName(MidiApi::kJack)) {
        return MidiApi::kJack;
    }
    return std::nullopt;
}

}  // namespace vrx
