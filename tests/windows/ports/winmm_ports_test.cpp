// The WinMM backend as Wine runs it here: a machine without any MIDI device.
#include "ports/winmm_ports.h"

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

#include "ports/midi_port_set.h"
#include "ports/system_ports.h"
#include "protocol/clock.h"
#include "protocol/midi_device_list.h"

namespace vrx {
namespace {

bool machineHasMidiDevices() {
    return midiInGetNumDevs() > 0 || midiOutGetNumDevs() > 0;
}

// Without devices the lists fail as they do where there is no MIDI service at all, so
// the user reads the same "No MIDI Card present."; the simulator is listed either way.
TEST(WinmmPorts, AMachineWithoutDevicesListsNoneAndStillOffersTheSimulator) {
    if (machineHasMidiDevices()) {
        GTEST_SKIP() << "this machine has MIDI devices";
    }
    const auto input = makeSystemMidiInput([] {}, MidiApi::kAlsa);
    const auto output = makeSystemMidiOutput(MidiApi::kAlsa);
    EXPECT_EQ(input->deviceCount().error(), "no MIDI input device is installed");
    EXPECT_EQ(output->deviceCount().error(), "no MIDI output device is installed");
    const auto inputs = inputDeviceEntries(*input);
    EXPECT_EQ(inputs.entries, std::vector<std::string>{"[Choose a MIDI in device]"});
    EXPECT_FALSE(inputs.error.empty());
    EXPECT_EQ(outputDeviceEntries(*output).entries,
              std::vector<std::string>{"[Choose a MIDI out device]"});

    input->selectDevice(0);
    const auto opened = input->open();
    ASSERT_FALSE(opened);
    EXPECT_TRUE(opened.error().starts_with("MIDI input device 0 could not be opened: "))
        << opened.error();
    EXPECT_EQ(input->state(), kPortClosed);
    output->selectDevice(MidiOutput::kDefaultDevice);
    EXPECT_FALSE(output->open());
    EXPECT_FALSE(output->sendSysex(Bytes{0xF0, 0xF7}));

    VirtualClock clock;
    MidiPortOptions options;
    options.withSimulator = true;
    MidiPortSet ports(clock, options);
    EXPECT_FALSE(ports.realDevicesError().empty());
    EXPECT_EQ(inputDeviceEntries(ports.input()).entries.back(), "#1: VRX Simulator");
    EXPECT_EQ(outputDeviceEntries(ports.output()).entries.back(), "#2: VRX Simulator");
}

// Windows gives a port to one program at a time; the user is told that, not a code.
TEST(WinmmPorts, APortHeldByAnotherProgramIsNamedAsSuch) {
    EXPECT_EQ(winmmOpenFailureText("MIDI input device 2", MMSYSERR_ALLOCATED, true),
              "MIDI input device 2 is in use by another program");
    EXPECT_EQ(winmmOpenFailureText("MIDI output device 0", MMSYSERR_ALLOCATED, false),
              "MIDI output device 0 is in use by another program");
    const auto other = winmmOpenFailureText("MIDI output device 3", MMSYSERR_BADDEVICEID, false);
    EXPECT_TRUE(other.starts_with("MIDI output device 3 could not be opened: ")) << other;
    EXPECT_GT(other.size(), std::string("MIDI output device 3 could not be opened: ").size());
}

}  // namespace
}  // namespace vrx
