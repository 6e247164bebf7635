#include "ports/rtmidi_ports.h"
#include "ports/system_ports.h"

namespace vrx {

std::unique_ptr<MidiInput> makeSystemMidiInput(std::function<void()> notifier) {
    return std::make_unique<RtMidiInput>(std::move(notifier));
}

std::unique_ptr<MidiOutput> makeSystemMidiOutput() {
    return std::make_unique<RtMidiOutput>();
}

}  // namespace vrx
