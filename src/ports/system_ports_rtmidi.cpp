#include "ports/rtmidi_ports.h"
#include "ports/system_ports.h"

namespace vrx {

std::unique_ptr<MidiInput> makeSystemMidiInput(std::function<void()> notifier, MidiApi api) {
    return std::make_unique<RtMidiInput>(std::move(notifier), api);
}

std::unique_ptr<MidiOutput> makeSystemMidiOutput(MidiApi api) {
    return std::make_unique<RtMidiOutput>(api);
}

}  // namespace vrx
