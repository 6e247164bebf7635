#include "link/kept_devices.h"

#include <gtest/gtest.h>

#include "ports/chained_ports.h"
#include "ports/counted_ports.h"
#include "ports/simulated_ports.h"
#include "protocol/clock.h"

namespace vrx {
namespace {

using testing::ListedInput;
using testing::ListedOutput;

// The real interfaces of today followed by the simulated unit, as the program lists them.
struct Today {
    explicit Today(std::vector<std::string> plugged)
        : realIn(plugged), realOut(plugged), in(realIn, simIn), out(realOut, simOut) {}
    VirtualClock clock;
    SimulatedUnit unit{clock};
    SimulatedInput simIn{unit};
    SimulatedOutput simOut{unit};
    ListedInput realIn;
    ListedOutput realOut;
    ChainedInput in;
    ChainedOutput out;
};

TEST(KeptDevices, ADeviceWhoseNumberChangedIsFoundByItsName) {
    const std::vector<std::string> yesterday = {"USB MIDI A", "USB MIDI B"};
    // Interfaces plugged in today, the input and output kept, where each has moved to.
    using Case = std::tuple<std::vector<std::string>, KeptDevice, KeptDevice, std::optional<int>,
                            std::optional<int>>;
    const Case cases[] = {
        // Same order as when chosen: nothing moves.
        {yesterday, {3, "VRX Simulator"}, {4, "VRX Simulator"}, {}, {}},
        // One interface left unplugged: the unit comes one place earlier.
        {{"USB MIDI B"}, {3, "VRX Simulator"}, {4, "VRX Simulator"}, 2, 3},
        // Plugged the other way round.
        {{"USB MIDI B", "USB MIDI A"}, {1, "USB MIDI A"}, {2, "USB MIDI A"}, 2, 3},
        // A third interface plugged first: the kept number is past nothing but B's now.
        {{"USB MIDI C", "USB MIDI A", "USB MIDI B"}, {2, "USB MIDI B"}, {3, "USB MIDI B"}, 3, 4},
        // The kept number lies beyond today's list.
        {{}, {3, "VRX Simulator"}, {4, "VRX Simulator"}, 1, 2},
        // The device is not there today: the number is kept as it was.
        {{"USB MIDI B"}, {1, "USB MIDI A"}, {2, "USB MIDI A"}, {}, {}},
        // A settings file from before names were kept.
        {{"USB MIDI B"}, {3, ""}, {4, ""}, {}, {}},
        // The system's default output stays the default output.
        {{"USB MIDI B"}, {1, "USB MIDI B"}, {1, "Default output"}, {}, {}},
        // ALSA's names carry numbers that follow the plugging order.
        {{"Midisport:Midisport 1x1 MIDI 1 20:0", "UM-ONE:UM-ONE MIDI 1 28:0"},
         {1, "UM-ONE:UM-ONE MIDI 1 24:0"},
         {2, "UM-ONE:UM-ONE MIDI 1 24:0"},
         2,
         3},
        {{"UM-ONE:UM-ONE MIDI 1 28:0"},
         {1, "UM-ONE:UM-ONE MIDI 1 24:0"},
         {2, "UM-ONE:UM-ONE MIDI 1 24:0"},
         {},
         {}},
        // Two of one model: the whole name tells them apart.
        {{"UM-ONE:UM-ONE MIDI 1 28:0", "UM-ONE:UM-ONE MIDI 1 24:0"},
         {1, "UM-ONE:UM-ONE MIDI 1 24:0"},
         {2, "UM-ONE:UM-ONE MIDI 1 24:0"},
         2,
         3},
        // JACK numbers a client whose name was taken when it started.
        {{"VRX Simulator:VRX Simulator", "synth:in"},
         {2, "VRX Simulator-01:VRX Simulator"},
         {3, "VRX Simulator-01:VRX Simulator"},
         1,
         2},
    };
    for (const auto& [plugged, in, out, movedIn, movedOut] : cases) {
        Today today(plugged);
        EXPECT_EQ(movedInputPosition(today.in, in), movedIn) << in.name;
        EXPECT_EQ(movedOutputPosition(today.out, out), movedOut) << out.name;
    }
    // The names kept are those of the list positions.
    Today today({"USB MIDI A"});
    std::string names;  // input and output at positions 0 to 4
    for (int position = 0; position <= 4; ++position) {
        names += inputNameAt(today.in, position) + "," + outputNameAt(today.out, position) + ";";
    }
    EXPECT_EQ(names, ",;USB MIDI A,Default output;VRX Simulator,USB MIDI A;,VRX Simulator;,;");
    EXPECT_EQ(deviceMovedLogLine("MIDI In", {3, "VRX Simulator"}, 2),
              "MIDI In device \"VRX Simulator\" is now #2 (was #3).");
}

}  // namespace
}  // namespace vrx
