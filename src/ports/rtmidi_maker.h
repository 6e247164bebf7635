#pragma once

#include <RtMidi.h>

#include <memory>
#include <sstream>
#include <string>

#include "protocol/midi_api.h"
#include "protocol/result.h"

namespace vrx {

RtMidi::Api rtMidiApi(MidiApi api);

// Why RtMidi must not be handed the service (not built in, not running); empty when it
// may. One line for the user that names the service.
std::string rtMidiUnavailable(MidiApi api);

// RtMidi prints what goes wrong while an object is made, before an error callback can
// be installed. What it prints while this lives is kept here instead.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

private:
    std::ostringstream text_;
    std::streambuf* previous_;
};

// An RtMidi object on the service, made only when the service answers, without a word
// on stderr.
template <typename Midi>
Result<std::unique_ptr<Midi>> makeRtMidi(MidiApi api, const std::string& clientName) {
    if (auto why = rtMidiUnavailable(api); !why.empty()) {
        return Result<std::unique_ptr<Midi>>::failure(why);
    }
    const StderrCapture driverChatter;
    try {
        return std::make_unique<Midi>(rtMidiApi(api), clientName);
    } catch (const std::exception& error) {
        // The service went away between the probe and now.
        return Result<std::unique_ptr<Midi>>::failure("The MIDI service " +
                                                      std::string(midiApiTitle(api)) +
                                                      " could not be used: " + error.what());
    }
}

}  // namespace vrx
