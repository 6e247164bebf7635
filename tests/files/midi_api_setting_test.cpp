#include <gtest/gtest.h>

#include "files/program_settings.h"
#include "temp_folder.h"

namespace vrx {
namespace {

using testing::readBytes;
using testing::writeBytes;

// The MIDI service is kept as "Api" in "[MIDI I/O]": read in any case, ALSA when the file
// names none or one this program does not know, and written only once it means something.
TEST(MidiApiSetting, TheServiceIsReadAndKeptBesideTheDevices) {
    struct Case {
        std::string before;
        MidiApi read;
        MidiApi chosen;       // this run's service, by --midi-api or as read
        std::string apiLine;  // in the file after the exit, empty for none
    };
    const Case cases[] = {
        {"", MidiApi::kAlsa, MidiApi::kAlsa, ""},
        {"", MidiApi::kAlsa, MidiApi::kJack, "Api=jack\n"},
        {"[MIDI I/O]\nApi=jack\n", MidiApi::kJack, MidiApi::kJack, "Api=jack\n"},
        {"[MIDI I/O]\nApi=JACK\n", MidiApi::kJack, MidiApi::kAlsa, "Api=alsa\n"},
        {"[MIDI I/O]\nApi=oss\n", MidiApi::kAlsa, MidiApi::kAlsa, "Api=alsa\n"},
        {"[MIDI]\nApi=jack\n", MidiApi::kAlsa, MidiApi::kAlsa, ""},
    };
    for (const auto& c : cases) {
        testing::TempFolder folder;
        const auto file = folder / "VrxConfig.ini";
        writeBytes(file, c.before);
        ProgramSettings settings(file);
        settings.readSettings("/home/organist");
        EXPECT_EQ(settings.midiApi(), c.read) << c.before;
        settings.setMidiApi(c.chosen);
        settings.writeSettings({1500, 900, 12000, 7000, WindowState::kMinimised});
        // The line in "[MIDI I/O]", whatever the file's line ends.
        auto after = readBytes(file);
        std::erase(after, '\r');
        const auto section = after.find("[MIDI I/O]\n");
        const auto at = section == std::string::npos ? section : after.find("Api=", section);
        EXPECT_EQ(at == std::string::npos ? "" : after.substr(at, after.find('\n', at) - at + 1),
                  c.apiLine)
            << c.before;
    }
}

}  // namespace
}  // namespace vrx
