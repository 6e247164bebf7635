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
    const struct {
        std::vector<std::string> plugged;
        KeptDevice in;
        KeptDevice out;
        std::optional<int> movedIn;
        std::optional<int> movedOut;
    } cases[] = {
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
    };
    for (const auto& c : cases) {
        Today today(c.plugged);
        EXPECT_EQ(movedInputPosition(today.in, c.in), c.movedIn) << c.in.name;
        EXPECT_EQ(movedOutputPosition(today.out, c.out), c.movedOut) << c.out.name;
    }
    // The names kept are those of the list positions.
    Today today({"USB MIDI A"});
    EXPECT_EQ(inputNameAt(today.in, 2), "VRX Simulator");
    EXPECT_EQ(inputNameAt(today.in, 0), "");
    EXPECT_EQ(inputNameAt(today.in, 3), "");
    EXPECT_EQ(outputNameAt(today.out, 2), "USB MIDI A");
    EXPECT_EQ(outputNameAt(today.out, 3), "VRX Simulator");
    EXPECT_EQ(outputNameAt(today.out, 4), "");
    EXPECT_EQ(deviceMovedLogLine("MIDI In", {3, "VRX Simulator"}, 2),
              "MIDI In device \"VRX Simulator\" is now #2 (was #3).");
}

}  // namespace
}  // namespace vrx
