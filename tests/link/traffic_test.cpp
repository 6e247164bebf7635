#include <gtest/gtest.h>

#include "link/traffic_history.h"
#include "link/traffic_names.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

// What goes out is named in the device link's journal, and vrxtool's trace shows a
// whole exchange both ways; here the name of each kind of message, and the history.
TEST(Traffic, MessagesAreNamedByKindAndTheHistoryKeepsTheNewest) {
    const Bytes reply = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0, 0, 0,    0,    0,  2,
                         0,    10,   3,    4,    0,    1, 0, 0x10, 0x01, 18, 0xF7};
    const struct {
        Bytes message;
        std::string name;
    } cases[] = {
        {{0x93, 60, 100}, "Note On, channel 4"},
        {{0xBF, 7, 100}, "Control Change, channel 16"},
        {{0xE2, 0, 64}, "Pitch Bend, channel 3"},
        {{0xFE}, "Active Sensing"},
        {{0xF4}, "undefined status f4"},
        {{0xF0, 0x43, 0x10, 0x4C, 0xF7}, "other SysEx"},
        {{0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x05, 0xF7}, "other SysEx"},
        {{0xF0, 0x7E, 0x00, 0x06, 0x02, 0xF7}, "Identity Reply (too short to read)"},
        {reply, "Identity Reply: firmware 2.0, 3/4/2010, DIP program 2, 144 programs"},
        {programRequest(0, 255), "PROGRAM_REQUEST for program 256"},
        {{0xF0, 0x00, 0x21, 0x5E, 0x00, 0x04, 0x01, 0x08, 0x00, 0xF7},
         "PROGRAM_UPDATE (malformed)"},
    };
    for (const auto& c : cases) {
        TrafficNamer namer;
        EXPECT_EQ(namer.nameOf(c.message), c.name);
    }
    // Short messages from the input keep only their own data bytes.
    EXPECT_EQ(messageBytes(MidiMessage{{}, 0xC3, 7, 9}), (Bytes{0xC3, 7}));
    EXPECT_EQ(messageBytes(MidiMessage{{}, 0x90, 60, 9}), (Bytes{0x90, 60, 9}));
    EXPECT_EQ(messageBytes(MidiMessage{{}, 0xFA, 1, 2}), (Bytes{0xFA}));

    // The history keeps only the newest messages and saves the chosen direction.
    VirtualClock clock;
    TrafficHistory history(clock, 3);
    const Bytes response = programResponse(0, Bytes(4, 0x41));
    const Bytes reboot = vrxReboot(0);
    history.record(TrafficDirection::kOut, tagMessage());
    history.record(TrafficDirection::kOut, identityRequest());
    history.record(TrafficDirection::kIn, Bytes{0x90, 60, 100});
    clock.advanceBy(1500);
    history.record(TrafficDirection::kIn, response);
    history.record(TrafficDirection::kOut, reboot);

    ASSERT_EQ(history.entries().size(), 3u);
    EXPECT_EQ(history.entries().front().serial, 3u);
    EXPECT_EQ(history.lastSerial(), 5u);

    EXPECT_EQ(trafficSyx(history.entries(), TrafficSelection::kReceived), response);
    EXPECT_EQ(trafficSyx(history.entries(), TrafficSelection::kSent), reboot);
    Bytes both = response;
    both.insert(both.end(), reboot.begin(), reboot.end());
    EXPECT_EQ(trafficSyx(history.entries(), TrafficSelection::kBoth), both);
    EXPECT_EQ(trafficText(history.entries()),
              "       0 ms  in     3  Note On, channel 1  90 3c 64\n"
              "    1500 ms  in    17  PROGRAM_RESPONSE 1, 4 bytes  "
              "f0 00 21 5e 00 04 01 04 00 00 00 00 41 41 41 41 f7\n"
              "    1500 ms  out    9  VRX_REBOOT  f0 00 21 5e 00 04 01 20 f7\n");

    history.clear();
    EXPECT_TRUE(history.entries().empty());
    EXPECT_EQ(history.lastSerial(), 5u);
}

}  // namespace
}  // namespace vrx
