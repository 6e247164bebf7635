#pragma once

#include <string>

#include "protocol/midi_api.h"

namespace vrx {

// Whether the MIDI service can be reached, asked of the service itself without a word
// on stderr: RtMidi must not be handed a service that is not there, as its JACK backend
// then works with a client it never got, and both services' libraries print their
// complaints to stderr. Empty when the service answers; otherwise one line for the
// user that names the service and what to do.
std::string probeMidiService(MidiApi api);

// Keeps the MIDI libraries' own messages off stderr for the rest of the run: what they
// have to say reaches the user through the program's results instead.
void silenceMidiLibraries();

}  // namespace vrx
