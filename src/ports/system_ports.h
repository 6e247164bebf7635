#pragma once

#include <functional>
#include <memory>

#include "protocol/midi_api.h"
#include "protocol/midi_port.h"

namespace vrx {

// The computer's own MIDI devices, through the platform's backend (WinMM on Windows,
// RtMidi elsewhere). `notifier` runs on the driver's thread when input is waiting; it
// must make dispatchEvents run on the user-interface thread. `api` chooses the service
// where the platform has more than one.
std::unique_ptr<MidiInput> makeSystemMidiInput(std::function<void()> notifier, MidiApi api);
std::unique_ptr<MidiOutput> makeSystemMidiOutput(MidiApi api);

}  // namespace vrx
