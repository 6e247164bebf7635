// The MIDI service as vrxtool meets it: chosen with --midi-api, and when it is missing,
// one line of the program's own that names it, never the libraries' raw complaints.
#include <unistd.h>

#include <filesystem>

#include "cli/vrxtool_runner.h"

namespace vrx::cli {
namespace {

using MidiService = VrxtoolTest;

int linesContaining(const std::string& text, const std::string& word) {
    int count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        count += line.find(word) != std::string::npos ? 1 : 0;
    }
    return count;
}

TEST_F(MidiService, AMissingServiceIsOneLineOfOursNamingItAndNothingRaw) {
    // A JACK server of this name never runs, whatever else runs on the machine.
    const std::string noJack =
        "JACK_DEFAULT_SERVER=vrx-no-server-" + std::to_string(getpid()) + " \"$vrxtool\" ";
    const bool alsaMissing = !std::filesystem::exists("/dev/snd/seq");
    struct Case {
        std::string command;
        std::string service;  // the service the line names, when it is missing
        bool missing;
        int status;
    };
    const Case cases[] = {
        {noJack + "ports --midi-api jack", "JACK", true, 1},
        {noJack + "ports --midi-api JACK --simulator", "JACK", true, 0},
        {noJack + "read --midi-api jack --in 1 --out 1 --program 1 -o x.vrx", "JACK", true, 1},
        {"\"$vrxtool\" ports --simulator", "ALSA", alsaMissing, 0},
        {"\"$vrxtool\" ports --midi-api alsa", "ALSA", alsaMissing, alsaMissing ? 1 : 0},
        {"\"$vrxtool\" read --simulator --program 2 -o y.vrx", "ALSA", false, 0},
    };
    for (const auto& c : cases) {
        const auto run = shell(c.command);
        EXPECT_EQ(run.status, c.status) << c.command << "\n" << run.err;
        EXPECT_EQ(linesContaining(run.err, "The MIDI service " + c.service), c.missing ? 1 : 0)
            << c.command << "\n"
            << run.err;
        // The libraries' own words: ALSA's "ALSA lib ...", RtMidi's "MidiInAlsa::...",
        // JACK's "Cannot connect to server ...".
        for (const char* raw : {"ALSA lib", "::", "Cannot connect", "jack server", "JackShm"}) {
            EXPECT_EQ(linesContaining(run.err + run.out, raw), 0)
                << c.command << " printed " << raw << ":\n"
                << run.err;
        }
    }
    EXPECT_EQ(vrxtool("ports --midi-api oss").status, 2);
}

}  // namespace
}  // namespace vrx::cli
