#include "link/output_queue.h"

#include <gtest/gtest.h>

#include "link/link_bench.h"
#include "ports/counted_ports.h"
#include "protocol/hex_text.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::ListedInput;
using testing::ListedOutput;

struct QueueBench {
    QueueBench(MidiInput& in, int outputs, int inPosition, int outPosition)
        : input(in), output(std::vector<std::string>(outputs, "device")) {
        setup.portInDevice = inPosition;
        setup.portOutDevice = outPosition;
    }
    MidiInput& input;
    ListedOutput output;
    MidiSetup setup;
    testing::RecordingView view;
    VirtualClock clock;
    OutputQueue queue{input, output, setup, view, clock};
};

// The ports open on the first tick, ahead of the first message; devices that went away
// since they were chosen fall back to the first one, or to none.
TEST(OutputQueue, PortsOpenAheadOfTheFirstMessageOnTheDevicesStillThere) {
    // Inputs and outputs plugged in, the positions chosen and those used, the tx errors
    // logged and the messages shown.
    using Row = std::tuple<int, int, int, int, int, int, std::size_t, std::vector<std::string>>;
    const std::vector<Row> table = {
        {2, 2, 2, 3, 2, 3, 0, {}},  // position 2 is input device 1, 3 output device 1
        {3, 2, 3, 3, 3, 3, 0, {}},  // the last input is still there
        {1, 1, 4, 5, 1, 1, 0, {}},  // gone: the first device, the default output
        {1, 1, 2, 2, 1, 2, 0, {}},  // the input just past the last
        // Without an input, or an output device, messages are still handed over, and
        // only logged.
        {0, 2, 2, 2, 0, 2, 2, {}},
        {2, 0, 1, 3, 1, 0, 2, {}},
        // The default output counts without devices, but there is none behind it here.
        {2, 0, 1, 1, 1, 1, 3, {"no such output"}},
    };
    for (const auto& [inputs, outputs, inPosition, outPosition, expectedIn, expectedOut, txErrors,
                      messages] : table) {
        ListedInput input(std::vector<std::string>(inputs, "device"));
        QueueBench bench(input, outputs, inPosition, outPosition);
        bench.queue.queueMessage(tagMessage());
        bench.queue.queueMessage(vrxReboot(0));
        EXPECT_EQ(bench.setup.portInDevice, expectedIn);
        EXPECT_EQ(bench.setup.portOutDevice, expectedOut);
        const bool opens = expectedIn > 0 && expectedOut > 0;
        EXPECT_EQ(bench.queue.midiOutQueue().front(), opens ? "r" : bytesToHexText(tagMessage()));
        // One item a tick; the output reporting its queue empty in between stops
        // nothing for good.
        while (!bench.queue.midiOutQueue().empty()) {
            bench.queue.pumpOutputQueue(false);
            bench.output.dispatchEvents();
        }
        EXPECT_EQ(input.opened, opens ? std::vector<int>{expectedIn - 1} : std::vector<int>{});
        if (opens && outputs > 0) {
            EXPECT_EQ(bench.output.opened, std::vector<int>{expectedOut - 2});
            EXPECT_EQ(bench.input.state(), kPortReceiving);
            EXPECT_EQ(bench.output.sent, (std::vector<Bytes>{tagMessage(), vrxReboot(0)}));
            EXPECT_EQ(bench.output.stops, 2);
        }
        EXPECT_EQ(bench.view.logLines,
                  std::vector<std::string>(txErrors, "MIDI error opening MIDI tx stream."));
        EXPECT_EQ(bench.view.messages, messages);
        bench.queue.closePorts();
        EXPECT_TRUE(bench.input.state() == kPortClosed && bench.output.state() == kPortClosed);
    }
}

// An input that is busy the first time it opens; open, it hears real-time bytes, which
// are kept out. A message typed in hex then goes out behind what was queued.
TEST(OutputQueue, AnInputThatFailsIsLoggedAsTheInputAndAnOpenOneFiltersRealTime) {
    ListedInput input({"device"});
    input.busyOnce = true;
    QueueBench bench(input, 1, 1, 2);
    bench.queue.queueMessage(vrxReboot(0));
    bench.queue.pumpOutputQueue(false);
    EXPECT_EQ(bench.view.logLines,
              std::vector<std::string>{"MIDI error opening MIDI rx stream (input)."});
    EXPECT_EQ(bench.view.messages, std::vector<std::string>{"input busy"});

    bench.queue.stopInput();
    bench.queue.queueMessage(vrxReboot(0));  // behind the first, and the ports opening
    for (int tick = 0; tick < 3; ++tick) {
        bench.queue.pumpOutputQueue(false);
    }
    input.push({{0xF8}, {0xFE}, {0xF9}, {0x90, 0x3C, 0x40}, tagMessage()});
    ASSERT_EQ(input.queuedMessageCount(), 2u);
    EXPECT_EQ(input.currentMessage().status, 0x90);
    input.removeCurrentMessage();
    EXPECT_EQ(input.currentMessage().sysex, tagMessage());

    // A message typed in hex gets its closing F7 once; one that is not hex goes nowhere.
    ASSERT_TRUE(bench.queue.sendHexMessage("F0 00 21 5e 7f 04 02 01"));
    ASSERT_TRUE(bench.queue.sendHexMessage("f0 00 f7"));
    EXPECT_FALSE(bench.queue.sendHexMessage("f0 zz"));
    EXPECT_EQ(bench.queue.midiOutQueue(),
              (std::deque<std::string>{"f0 00 21 5e 7f 04 02 01 f7 ", "f0 00 f7 "}));
}

// A timer that fell behind catches up with ticks close together: the write's pause
// still lasts its time on the clock, so the unit never gets a block too soon.
TEST(OutputQueue, TicksInABurstDoNotShortenAWritesPause) {
    testing::LinkBench bench;
    bench.link.setVerifyAfterWriting(false);
    bench.view.promptAnswers = {3};
    bench.link.writeToDevice();
    // The TAG MESSAGE, the Identity Request, then the first update.
    ASSERT_TRUE(bench.tickUntil([&] { return bench.unit.received().size() == 3; }));
    const std::int64_t sentAt = bench.unit.receivedAtMs().back();
    // Six ticks 10 ms apart, as a blocked event loop delivers them, then one of a timer
    // whose phase is not the send's, a little short of 600 ms.
    for (const std::int64_t at : {10, 20, 30, 40, 50, 60, 599}) {
        bench.clock.advanceTo(sentAt + at);
        bench.link.mainTimerTick();
    }
    EXPECT_EQ(bench.unit.received().size(), 3u);
    bench.clock.advanceTo(sentAt + 600);
    bench.link.mainTimerTick();
    EXPECT_EQ(bench.unit.received().size(), 4u);
    EXPECT_TRUE(bench.unit.droppedUpdates().empty());
}

}  // namespace
}  // namespace vrx
