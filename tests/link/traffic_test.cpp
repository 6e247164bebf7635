#include <gtest/gtest.h>

#include "link/link_bench.h"
#include "link/traffic_history.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::LinkBench;

std::vector<std::string> namesOf(const TrafficHistory& history) {
    std::vector<std::string> names;
    for (const auto& entry : history.entries()) {
        names.push_back(std::string(directionText(entry.direction)) + " " + entry.name);
    }
    return names;
}

// What goes out is named in the device link's own tests; here what comes in.
TEST(Traffic, ALoadIsNamedAsItPassesInBothDirections) {
    SimulatedUnitSettings settings;
    settings.responseParts = 2;
    settings.dipSwitchProgram = 4;
    LinkBench bench(settings);
    TrafficHistory history(bench.clock);
    std::vector<std::string> traced;
    history.setLineSink([&](std::string_view line) { traced.emplace_back(line); });
    bench.link.setTrafficTap(
        [&](TrafficDirection direction, ByteView m) { history.record(direction, m); });
    bench.view.promptAnswers = {3};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));
    bench.ticks(2);

    const std::vector<std::string> expected = {
        "out TAG MESSAGE",
        "out Identity Request",
        "in Identity Reply: firmware 1.5, 12/31/2009, DIP program 4, 16 programs",
        "out PROGRAM_REQUEST for program 3",
        "in PROGRAM_RESPONSE 1, 128 bytes",
        "in PROGRAM_RESPONSE 2, 128 bytes",
        "out VRX_REBOOT",
    };
    EXPECT_EQ(namesOf(history), expected);
    // The ports open on the first tick; the tag leaves on the second.
    EXPECT_EQ(traced.front(), "     200 ms  out    9  TAG MESSAGE  f0 00 21 5e 7f 04 02 01 f7");
    EXPECT_EQ(traced.size(), expected.size());
}

TEST(Traffic, MessagesOutsideTheExchangeAreNamedByKind) {
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
}

TEST(Traffic, ShortMessagesFromTheInputKeepOnlyTheirOwnDataBytes) {
    EXPECT_EQ(messageBytes(MidiMessage{{}, 0xC3, 7, 9}), (Bytes{0xC3, 7}));
    EXPECT_EQ(messageBytes(MidiMessage{{}, 0x90, 60, 9}), (Bytes{0x90, 60, 9}));
    EXPECT_EQ(messageBytes(MidiMessage{{}, 0xFA, 1, 2}), (Bytes{0xFA}));
}

TEST(Traffic, HistoryKeepsOnlyTheNewestMessagesAndSavesTheChosenDirection) {
    VirtualClock clock;
    TrafficHistory history(clock, 3);
    history.record(TrafficDirection::kOut, tagMessage());
    history.record(TrafficDirection::kOut, identityRequest());
    history.record(TrafficDirection::kIn, Bytes{0x90, 60, 100});
    clock.advanceBy(1500);
    history.record(TrafficDirection::kIn, programResponse(0, Bytes(4, 0x41)));
    history.record(TrafficDirection::kOut, vrxReboot(0));

    ASSERT_EQ(history.entries().size(), 3u);
    EXPECT_EQ(history.entries().front().serial, 3u);
    EXPECT_EQ(history.lastSerial(), 5u);

    const Bytes response = programResponse(0, Bytes(4, 0x41));
    EXPECT_EQ(trafficSyx(history.entries(), TrafficSelection::kReceived), response);
    EXPECT_EQ(trafficSyx(history.entries(), TrafficSelection::kSent), vrxReboot(0));
    Bytes both = response;
    const Bytes reboot = vrxReboot(0);
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
