#include "ports/midi_service.h"

#if defined(__linux__)
#include <alsa/asoundlib.h>
#include <jack/jack.h>
#endif

#include <mutex>

namespace vrx {
namespace {

#if defined(__linux__)
// ALSA's handler is variadic; the message is dropped, the failure comes back as the
// result of the call that caused it.
void quietAlsa(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
               const char* /*format*/, ...) {}

void quietJack(const char* /*message*/) {}

std::string probeAlsa() {
    snd_seq_t* sequencer = nullptr;
    const int opened = snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, 0);
    if (opened < 0) {
        return "The MIDI service ALSA is missing: the ALSA sequencer cannot be opened (" +
               std::string(snd_strerror(opened)) +
               "). Load the snd-seq kernel module, or choose the JACK service.";
    }
    snd_seq_close(sequencer);
    return {};
}

std::string probeJack() {
    jack_status_t status{};
    // JackNoStartServer: a probe must not start a server the user did not ask for.
    jack_client_t* client = jack_client_open("VRXConfig probe", JackNoStartServer, &status);
    if (client == nullptr) {
        return "The MIDI service JACK is not running: no JACK server answers. Start the JACK "
               "server (with jackd or a JACK control program), or choose the ALSA service.";
    }
    jack_client_close(client);
    return {};
}
#endif

}  // namespace

void silenceMidiLibraries() {
#if defined(__linux__)
    static std::once_flag once;
    std::call_once(once, [] {
        snd_lib_error_set_handler(&quietAlsa);
        jack_set_error_function(&quietJack);
        jack_set_info_function(&quietJack);
    });
#endif
}

std::string probeMidiService(MidiApi api) {
    silenceMidiLibraries();
#if defined(__linux__)
    return api == MidiApi::kJack ? probeJack() : probeAlsa();
#else
    static_cast<void>(api);
    return {};
#endif
}

}  // namespace vrx
