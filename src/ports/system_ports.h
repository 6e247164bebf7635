#pragma once

#include <functional>
#include <memory>

#include "protocol/midi_port.h"

namespace vrx {

// The computer's own MIDI devices, through the platform's backend (WinMM on Windows,
// RtMidi elsewhere). `notifier` runs on the driver's thread when input is waiting; it
// must make dispatchEvents run on the user-interface thread.
std::unique_ptr<MidiInput> makeSystemMidiInput(std::function<void()> notifier);
std::unique_ptr<MidiOutput> makeSystemMidiOutput();

}  // namespace vrx
