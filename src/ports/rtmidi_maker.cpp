#include "ports/rtmidi_maker.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "ports/midi_service.h"

namespace vrx {

// Ask for the service by name. Left unspecified, RtMidi may pick JACK, whose backend
// crashes when no JACK server is running.
RtMidi::Api rtMidiApi(MidiApi api) {
#if defined(_WIN32)
    static_cast<void>(api);
    return RtMidi::WINDOWS_MM;
#elif defined(__APPLE__)
    static_cast<void>(api);
    return RtMidi::MACOSX_CORE;
#else
    return api == MidiApi::kJack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
#endif
}

std::string rtMidiUnavailable(MidiApi api) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (std::ranges::find(apis, rtMidiApi(api)) == apis.end()) {
        return "The MIDI service " + std::string(midiApiTitle(api)) +
               " is missing: this RtMidi was built without it.";
    }
    return probeMidiService(api);
}

StderrCapture::StderrCapture() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}

StderrCapture::~StderrCapture() {
    std::cerr.rdbuf(previous_);
}

}  // namespace vrx
