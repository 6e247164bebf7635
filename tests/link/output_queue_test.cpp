#include "link/output_queue.h"

#include <gtest/gtest.h>

#include "link/link_bench.h"
#include "ports/counted_ports.h"
#include "protocol/hex_text.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::CountedInput;
using testing::CountedOutput;
using testing::RecordingView;

struct QueueBench {
    QueueBench(int inputs, int outputs, int inPosition, int outPosition)
        : input(inputs), output(outputs) {
        setup.portInDevice = inPosition;
        setup.portOutDevice = outPosition;
    }
    CountedInput input;
    CountedOutput output;
    MidiSetup setup;
    RecordingView view;
    VirtualClock clock;
    OutputQueue queue{input, output, setup, view, clock};
};

TEST(OutputQueue, PortsOpenOnTheFirstTickAndMessagesLeaveOnePerTick) {
    QueueBench bench(2, 2, 2, 3);
    bench.queue.queueMessage(tagMessage());
    bench.queue.queueMessage(identityRequest());
    ASSERT_EQ(bench.queue.midiOutQueue().size(), 3u);
    EXPECT_EQ(bench.queue.midiOutQueue()[0], "r");
    EXPECT_EQ(bench.queue.midiOutQueue()[1], bytesToHexText(tagMessage()));
    EXPECT_TRUE(bench.queue.portsOpen());

    bench.queue.pumpOutputQueue(false);
    EXPECT_EQ(bench.input.opened, std::vector<int>{1});   // position 2 is device 1
    EXPECT_EQ(bench.output.opened, std::vector<int>{1});  // position 3 is device 1
    EXPECT_EQ(bench.input.state(), kPortReceiving);
    EXPECT_TRUE(bench.output.sent.empty());
    bench.queue.pumpOutputQueue(false);
    EXPECT_EQ(bench.output.sent, std::vector<Bytes>{tagMessage()});
    // The output reporting its queue empty in between stops nothing for good.
    bench.output.dispatchEvents();
    EXPECT_EQ(bench.output.stops, 1);
    bench.queue.pumpOutputQueue(false);
    EXPECT_EQ(bench.output.sent.back(), identityRequest());
    EXPECT_TRUE(bench.queue.midiOutQueue().empty());
}

TEST(OutputQueue, DevicesThatWentAwayFallBackToTheFirstOrToNone) {
    struct Row {
        int inputs, outputs, inPosition, outPosition;
        int expectedIn, expectedOut;
        bool opens;
    };
    const std::vector<Row> table = {
        {3, 2, 3, 3, 3, 3, true},  // the last input is still there
        {1, 1, 4, 5, 1, 1, true},  // gone: the first device, the default output
        {0, 2, 2, 2, 0, 2, false}, {2, 0, 1, 3, 1, 0, false},  // no output devices at all
        {2, 0, 1, 1, 1, 1, true},  // the default output counts without devices
    };
    for (const auto& row : table) {
        QueueBench bench(row.inputs, row.outputs, row.inPosition, row.outPosition);
        bench.queue.queueMessage(vrxReboot(0));
        EXPECT_EQ(bench.setup.portInDevice, row.expectedIn);
        EXPECT_EQ(bench.setup.portOutDevice, row.expectedOut);
        EXPECT_EQ(bench.queue.portsOpen(), row.opens);
        EXPECT_EQ(bench.queue.midiOutQueue().size(), row.opens ? 2u : 1u);
        if (row.opens) {
            bench.queue.pumpOutputQueue(false);
            EXPECT_EQ(bench.input.opened, std::vector<int>{row.expectedIn - 1});
            if (row.outputs > 0) {
                EXPECT_EQ(bench.output.opened, std::vector<int>{row.expectedOut - 2});
            } else {
                // No device behind the default output here: the user hears of it.
                EXPECT_EQ(bench.view.messages.size(), 1u);
            }
        }
    }
}

TEST(OutputQueue, WithoutAnOutputDeviceMessagesAreStillHandedOverAndOnlyLogged) {
    QueueBench bench(1, 0, 1, 2);
    for (int i = 0; i < 3; ++i) {
        bench.queue.queueMessage(vrxReboot(0));
    }
    EXPECT_EQ(bench.setup.portOutDevice, 0);
    EXPECT_EQ(bench.queue.midiOutQueue().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        bench.queue.pumpOutputQueue(false);
    }
    EXPECT_TRUE(bench.queue.midiOutQueue().empty());
    EXPECT_EQ(bench.view.logLines,
              std::vector<std::string>(3, "MIDI error opening MIDI tx stream."));
    EXPECT_TRUE(bench.view.messages.empty());
}

TEST(OutputQueue, InputThatFailsToOpenIsLoggedAsTheInput) {
    struct FailingInput : MidiInput {
        Result<int> deviceCount() override { return 1; }
        Result<std::string> deviceName(int) override { return std::string("in"); }
        Status openDevice(int, std::size_t) override { return Status::failure("input busy"); }
        void closeDevice() override {}
    } input;
    CountedOutput output(1);
    MidiSetup setup{1, 2, true, false};
    RecordingView view;
    VirtualClock clock;
    OutputQueue queue(input, output, setup, view, clock);
    queue.queueMessage(vrxReboot(0));
    queue.pumpOutputQueue(false);
    EXPECT_EQ(view.logLines,
              std::vector<std::string>{"MIDI error opening MIDI rx stream (input)."});
    EXPECT_EQ(view.messages, std::vector<std::string>{"input busy"});
}

TEST(OutputQueue, OutputThatFailsToOpenIsReportedToTheUser) {
    QueueBench bench(1, 1, 1, 2);
    bench.setup.portOutDevice = 2;
    bench.queue.queueMessage(vrxReboot(0));
    bench.setup.portOutDevice = 3;  // chosen after the check, gone by the time it opens
    bench.queue.pumpOutputQueue(false);
    ASSERT_EQ(bench.view.messages.size(), 1u);
    EXPECT_EQ(bench.view.messages.front(), "no such output");
}

TEST(OutputQueue, WriteEndsWithDoneAfterItsLastMessageAndPausesAfterEach) {
    QueueBench bench(1, 1, 1, 2);
    for (unsigned k = 0; k < 4; ++k) {
        bench.queue.queueMessage(programUpdate(0, k * 64, Bytes(64, 0)));
    }
    bench.queue.queueMessage(vrxReboot(0));
    bench.queue.markWriteEnd(5);
    bench.queue.pumpOutputQueue(true);  // "r"
    EXPECT_FALSE(bench.queue.paused());
    for (int k = 0; k < 5; ++k) {
        bench.queue.pumpOutputQueue(true);
        // Five ticks are held back; the sixth, 600 ms after the message, runs.
        for (int held = 1; held <= 5; ++held) {
            bench.clock.advanceBy(100);
            EXPECT_TRUE(bench.queue.pauseHoldsTick()) << "tick " << held;
        }
        bench.clock.advanceBy(100);
        EXPECT_FALSE(bench.queue.pauseHoldsTick());
        EXPECT_FALSE(bench.queue.paused());
        EXPECT_EQ(bench.view.statusText, k == 4 ? "Done." : "") << "message " << k + 1;
    }
    EXPECT_EQ(bench.output.sent.size(), 5u);
}

TEST(OutputQueue, ClosingStopsAndClosesTheInputAndClosesTheOutput) {
    QueueBench bench(1, 1, 1, 2);
    bench.queue.queueMessage(vrxReboot(0));
    bench.queue.pumpOutputQueue(false);
    bench.queue.closePorts();
    EXPECT_EQ(bench.input.state(), kPortClosed);
    EXPECT_EQ(bench.output.state(), kPortClosed);
}

TEST(OutputQueue, RealTimeBytesAreFilteredWhileTheInputIsOpen) {
    struct Deliverer : MidiInput {
        Result<int> deviceCount() override { return 1; }
        Result<std::string> deviceName(int) override { return std::string("x"); }
        Status openDevice(int, std::size_t) override { return success(); }
        void closeDevice() override {}
        void push(std::vector<Bytes> m) { deliver(m); }
    } input;
    CountedOutput output(1);
    MidiSetup setup{1, 2, true, false};
    RecordingView view;
    VirtualClock clock;
    OutputQueue queue(input, output, setup, view, clock);
    queue.queueMessage(vrxReboot(0));
    queue.pumpOutputQueue(false);
    input.push({{0xF8}, {0xFE}, {0xF9}, {0x90, 0x3C, 0x40}, tagMessage()});
    ASSERT_EQ(input.queuedMessageCount(), 2u);
    EXPECT_EQ(input.currentMessage().status, 0x90);
    EXPECT_TRUE(input.currentMessage().sysex.empty());
    input.removeCurrentMessage();
    EXPECT_EQ(input.currentMessage().sysex, tagMessage());
}

TEST(OutputQueue, HexMessageGetsItsClosingF7Once) {
    QueueBench bench(0, 0, 0, 0);
    ASSERT_TRUE(bench.queue.sendHexMessage("F0 00 21 5e 7f 04 02 01"));
    ASSERT_TRUE(bench.queue.sendHexMessage("f0 00 f7"));
    EXPECT_FALSE(bench.queue.sendHexMessage("f0 zz"));
    ASSERT_EQ(bench.queue.midiOutQueue().size(), 2u);
    EXPECT_EQ(bench.queue.midiOutQueue()[0], "f0 00 21 5e 7f 04 02 01 f7 ");
    EXPECT_EQ(bench.queue.midiOutQueue()[1], "f0 00 f7 ");
}

}  // namespace
}  // namespace vrx

namespace vrx {
namespace {

// A timer that fell behind catches up with ticks close together: the write's pause
// still lasts its time on the clock, so the unit never gets a block too soon.
TEST(OutputQueue, TicksInABurstDoNotShortenAWritesPause) {
    testing::LinkBench bench;
    bench.link.setVerifyAfterWriting(false);
    bench.view.promptAnswers = {3};
    bench.link.writeToDevice();
    const auto updates = [&] {
        return bench.receivedWithCommand(messageConstants().cmdProgramUpdate).size();
    };
    ASSERT_TRUE(bench.tickUntil([&] { return updates() == 1; }));
    const std::int64_t sentAt = bench.unit.receivedAtMs().back();
    // Six ticks 10 ms apart, as a blocked event loop delivers them.
    for (int i = 0; i < 6; ++i) {
        bench.clock.advanceBy(10);
        bench.link.mainTimerTick();
    }
    EXPECT_EQ(updates(), 1u);
    // A tick of a timer whose phase is not the send's may come a little short of 600 ms.
    bench.clock.advanceTo(sentAt + 599);
    bench.link.mainTimerTick();
    EXPECT_EQ(updates(), 1u);
    bench.clock.advanceTo(sentAt + 600);
    bench.link.mainTimerTick();
    EXPECT_EQ(updates(), 2u);
    EXPECT_TRUE(bench.unit.droppedUpdates().empty());
}

}  // namespace
}  // namespace vrx
