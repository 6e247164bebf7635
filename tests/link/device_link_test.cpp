#include "link/device_link.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "link/link_bench.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::LinkBench;

const Bytes& updateCommand() {
    return messageConstants().cmdProgramUpdate;
}
const Bytes& requestCommand() {
    return messageConstants().cmdProgramRequest;
}
const Bytes& rebootCommand() {
    return messageConstants().cmdReboot;
}

bool isLoadFinished(const LinkBench& bench) {
    return bench.link.commState() == kStateResultShown;
}

TEST(DeviceLink, FirstLoadPausesElevenTicksBeforeThePromptAndDecodesTheProgram) {
    LinkBench bench;
    bench.view.promptAnswers = {5};
    std::int64_t promptAt = -1;
    bench.view.whileModal = [&] { promptAt = bench.clock.nowMs(); };

    bench.link.loadFromDevice();
    EXPECT_EQ(bench.link.commState(), kStateAwaitingIdentity);
    EXPECT_EQ(bench.view.statusText, "Requesting VRX Configuration..");
    EXPECT_EQ(bench.view.statusCaption, "Loading Program Data from VRX");
    EXPECT_TRUE(bench.view.statusShown);
    // The ports open ahead of the TAG MESSAGE and the Identity Request.
    EXPECT_EQ(bench.link.outputQueue().midiOutQueue().front(), "r");
    EXPECT_EQ(bench.link.outputQueue().midiOutQueue().size(), 3u);

    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStatePromptPause; }));
    const std::int64_t pauseStart = bench.clock.nowMs();
    int ticksInPause = 0;
    while (bench.view.promptTitles.empty()) {
        bench.tick();
        ++ticksInPause;
        ASSERT_LT(ticksInPause, 100);
    }
    // The tick that entered the pause counted as the first of eleven.
    EXPECT_EQ(ticksInPause, 10);
    EXPECT_EQ(promptAt - pauseStart, 1000);
    EXPECT_EQ(bench.view.promptTitles.front(), "Loading Program Data From VRX");
    EXPECT_EQ(bench.link.commState(), kStateRequestSent);
    EXPECT_EQ(bench.view.statusText, "Requesting VRX Program Data.. ok");

    ASSERT_TRUE(bench.tickUntil([&] { return isLoadFinished(bench); }));
    ASSERT_EQ(bench.view.decoded.size(), 1u);
    EXPECT_EQ(bench.view.decoded.front(), bench.unit.program(5));
    EXPECT_EQ(bench.view.statusText,
              "Requesting VRX Program Data.. ok\r\nLoading Program Data from VRX...\r\nDone.");
    EXPECT_EQ(bench.view.windowTitle, "VRXConfig - Editing Program Data #5");
    EXPECT_TRUE(bench.view.tabScopeVisible);
    EXPECT_TRUE(bench.view.gridShown);
    EXPECT_EQ(bench.link.activeProgram(), 5);
    EXPECT_EQ(bench.link.firmwareVersionText(), "1.5, 12/31/2009");

    const auto requests = bench.receivedWithCommand(requestCommand());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests.front(), programRequest(0, 4));
    bench.ticks(2);
    EXPECT_EQ(bench.receivedWithCommand(rebootCommand()), std::vector<Bytes>{vrxReboot(0)});

    // The result stays on screen for 2.1 s, then the commands come back.
    bench.ticks(18);
    EXPECT_TRUE(bench.view.statusShown);
    EXPECT_EQ(bench.view.commandsEnabled, 0);
    bench.ticks(2);
    EXPECT_FALSE(bench.view.statusShown);
    EXPECT_EQ(bench.view.commandsEnabled, 1);
    EXPECT_EQ(bench.view.midiStopChecks, 1);
    EXPECT_EQ(bench.link.timeoutCount(), DeviceLink::kResultTicks);
}

TEST(DeviceLink, ACompareReadsTheProgramWithoutTouchingTheEditorAndTheNextLoadDecodesAgain) {
    LinkBench bench;
    bench.view.promptAnswers = {3, 5};
    bench.view.windowTitle = "VRXConfig - Editing File: organ.vrx";

    bench.link.compareWithDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return isLoadFinished(bench); }));
    EXPECT_TRUE(bench.view.decoded.empty());
    ASSERT_EQ(bench.view.programsRead.size(), 1u);
    EXPECT_EQ(bench.view.programsRead[3], bench.unit.program(3));
    EXPECT_EQ(bench.view.windowTitle, "VRXConfig - Editing File: organ.vrx");

    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 1; }));
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return isLoadFinished(bench); }));
    ASSERT_EQ(bench.view.decoded.size(), 1u);
    EXPECT_EQ(bench.view.decoded.front(), bench.unit.program(5));
    EXPECT_EQ(bench.view.programsRead.size(), 1u);
    EXPECT_EQ(bench.view.windowTitle, "VRXConfig - Editing Program Data #5");
}

TEST(DeviceLink, SecondLoadAfterAFullResultDisplayOpensThePromptOnItsFirstPauseTick) {
    LinkBench bench;
    bench.view.promptAnswers = {2, 3};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 1; }));

    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] {
        return bench.link.commState() == kStatePromptPause || bench.view.promptTitles.size() == 2;
    }));
    EXPECT_EQ(bench.view.promptTitles.size(), 2u);
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.decoded.size() == 2; }));
    EXPECT_EQ(bench.view.decoded.back(), bench.unit.program(3));
}

TEST(DeviceLink, WriteFollowsTheTickSequenceWithMessagesExactlySixHundredMillisecondsApart) {
    LinkBench bench;
    bench.link.setVerifyAfterWriting(false);  // the read-back has its own tests
    bench.view.promptAnswers = {3};
    auto image = plausibleProgramData(9, kFormatByteDefault);
    image.resize(kImageBytes, 0);
    bench.view.imageToWrite = image;
    std::int64_t promptAt = -1;
    bench.view.whileModal = [&] { promptAt = bench.clock.nowMs(); };
    std::int64_t doneAt = -1;
    std::int64_t hiddenAt = -1;

    bench.link.writeToDevice();
    EXPECT_EQ(bench.view.statusText, "Requesting VRX Configuration first...");
    EXPECT_EQ(bench.view.statusCaption, "Writing Program Data to VRX");
    ASSERT_TRUE(bench.tickUntil([&] {
        if (doneAt < 0 && bench.view.statusText.ends_with("Done.")) {
            doneAt = bench.clock.nowMs();
        }
        if (hiddenAt < 0 && bench.view.commandsEnabled == 1) {
            hiddenAt = bench.clock.nowMs();
        }
        return hiddenAt >= 0;
    }));
    EXPECT_EQ(bench.view.promptTitles, std::vector<std::string>{"Writing Program Data To VRX"});
    EXPECT_EQ(bench.view.imageFormatBytes, std::vector<std::uint8_t>{18});

    // Ports open on the first tick; every message of a write, the identity exchange's
    // included, is followed by 600 ms in which the timer and the input wait; the reply
    // that came meanwhile opens the prompt on the tick that ends the pause.
    const auto blocks = programUpdateMessages(0, 2, image);
    const std::vector<Bytes> expected = {tagMessage(), identityRequest(), blocks[0],   blocks[1],
                                         blocks[2],    blocks[3],         vrxReboot(0)};
    EXPECT_EQ(bench.unit.received(), expected);
    EXPECT_EQ(bench.unit.receivedAtMs(),
              (std::vector<std::int64_t>{200, 800, 1400, 2000, 2600, 3200, 3800}));
    EXPECT_EQ(promptAt, 1400);
    EXPECT_EQ(doneAt, 3800);
    // The result stays while the last pause and 17 more ticks run out.
    EXPECT_EQ(hiddenAt, 6000);
    EXPECT_FALSE(bench.view.statusShown);
    EXPECT_EQ(bench.unit.program(3), Bytes(image.begin(), image.begin() + kProgramBytes));
    EXPECT_EQ(bench.view.statusText,
              "Requesting VRX Configuration first... ok\r\nWriting Program Data to VRX... "
              "\r\nDone.");
}

TEST(DeviceLink, UnansweredRequestIsAskedAgainEveryTwoSecondsThenTheLoadEndsSayingWhy) {
    LinkBench bench;
    bench.view.promptAnswers = {6};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return !bench.view.promptTitles.empty(); }));
    bench.unit.faults().silent = true;
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));

    const auto requests = bench.receivedWithCommand(requestCommand());
    ASSERT_EQ(requests.size(), 4u);
    const auto& received = bench.unit.received();
    std::vector<std::int64_t> at;
    for (std::size_t k = 0; k < received.size(); ++k) {
        if (isManufacturerMessage(received[k]) && received[k] == programRequest(0, 5)) {
            at.push_back(bench.unit.receivedAtMs()[k]);
        }
    }
    ASSERT_EQ(at.size(), 4u);
    for (std::size_t k = 1; k < at.size(); ++k) {
        EXPECT_EQ(at[k] - at[k - 1], 2000) << "request " << k + 1;
    }
    EXPECT_EQ(bench.clock.nowMs() - at.back(), 2100);  // the result shows on the next tick
    EXPECT_EQ(bench.view.statusText,
              "Requesting VRX Program Data.. ok...\r\nThe VRX stopped answering. Check your MIDI "
              "connections and try again.");
    EXPECT_EQ(bench.link.failure(),
              "The VRX stopped answering. Check your MIDI connections and try again.");
    EXPECT_TRUE(bench.view.decoded.empty());
    EXPECT_FALSE(bench.view.gridShown);
    EXPECT_EQ(bench.view.windowTitle, "");
    // The reason stays on screen after the result time; the commands stay as they were.
    bench.ticks(40);
    EXPECT_TRUE(bench.view.statusShown);
    EXPECT_EQ(bench.view.commandsEnabled, 0);
    EXPECT_EQ(bench.view.midiStopChecks, 0);
}

TEST(DeviceLink, SilentUnitGetsAnIdentityRequestEverySecondWithDotsAndTheWarning) {
    LinkBench bench;
    bench.unit.faults().silent = true;
    bench.link.loadFromDevice();

    const std::string warning =
        "Check your MIDI connections and make sure that your VRX is turned on!\r\nRetrying...";
    // Ticks counted from the load; the retry runs on every tenth, and its two messages
    // leave on that tick and the next.
    const std::map<int, std::pair<std::string, int>> expected = {
        {3, {"Requesting VRX Configuration..", 1}},
        {11, {"Requesting VRX Configuration...", 2}},
        {41, {"Requesting VRX Configuration......", 5}},
        {51, {warning, 6}},
        {61, {warning + ".", 7}},
        {91, {warning + "....", 10}},
        {101, {warning, 11}},
    };
    for (int tick = 1; tick <= 101; ++tick) {
        bench.tick();
        if (const auto row = expected.find(tick); row != expected.end()) {
            EXPECT_EQ(bench.view.statusText, row->second.first) << "tick " << tick;
            EXPECT_EQ(bench.unit.requestCount(), row->second.second) << "tick " << tick;
        }
    }
    EXPECT_EQ(bench.link.commState(), kStateAwaitingIdentity);
    EXPECT_TRUE(bench.view.decoded.empty());
}

TEST(DeviceLink, CancelledPromptEndsTheLoadWithNothingDecodedAndTheStatusHidden) {
    for (const int answer : {-1, 0}) {  // Cancel, or the dialog closed another way
        LinkBench bench;
        bench.view.promptAnswers = {answer};
        bench.link.loadFromDevice();
        ASSERT_TRUE(bench.tickUntil([&] { return !bench.view.promptTitles.empty(); }));
        EXPECT_EQ(bench.link.operationMarker(), kMarkerCancelled);
        EXPECT_EQ(bench.link.commState(), kStateFinished);
        bench.tick();
        EXPECT_EQ(bench.link.commState(), kStateResultShown);
        bench.tick();
        EXPECT_FALSE(bench.view.statusShown);
        EXPECT_EQ(bench.view.commandsEnabled, 1);
        EXPECT_TRUE(bench.view.decoded.empty());
        EXPECT_TRUE(bench.receivedWithCommand(requestCommand()).empty());
    }
}

TEST(DeviceLink, CancelledWritePromptSendsNoUpdate) {
    LinkBench bench;
    bench.view.promptAnswers = {-1};
    bench.link.writeToDevice();
    bench.ticks(40);
    EXPECT_EQ(bench.link.commState(), kStateResultShown);
    EXPECT_TRUE(bench.receivedWithCommand(updateCommand()).empty());
    EXPECT_EQ(bench.unit.rebootCount(), 0);
}

TEST(DeviceLink, ClosingTheStatusWindowWhileWaitingStopsInputAndRetries) {
    LinkBench bench;
    bench.unit.faults().silent = true;
    bench.link.loadFromDevice();
    bench.ticks(15);
    bench.link.statusWindowClosed();
    EXPECT_EQ(bench.input.state(), kPortClosed);
    EXPECT_FALSE(bench.link.outputQueue().portsOpen());
    const int requests = bench.unit.requestCount();
    bench.ticks(100);
    EXPECT_EQ(bench.unit.requestCount(), requests);
    EXPECT_EQ(bench.link.commState(), kStateAwaitingIdentity);
}

TEST(DeviceLink, PortsCloseAfterEveryOperationAndReopenAheadOfTheNext) {
    LinkBench bench;
    bench.view.promptAnswers = {1, 2};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return isLoadFinished(bench); }));
    EXPECT_EQ(bench.input.state(), kPortClosed);
    EXPECT_FALSE(bench.link.outputQueue().portsOpen());

    bench.ticks(25);
    bench.link.writeToDevice();
    EXPECT_EQ(bench.link.outputQueue().midiOutQueue().front(), "r");
    bench.tick();
    EXPECT_EQ(bench.input.state(), kPortReceiving);
    EXPECT_EQ(bench.output.state(), kPortOpen);
}

TEST(DeviceLink, MidiSetupComesFirstWhenNoDevicesWereConfirmed) {
    LinkBench cancelled({}, false);
    cancelled.view.cancelMidiSetup = true;
    cancelled.link.loadFromDevice();
    EXPECT_EQ(cancelled.view.midiSetupShown, 1);
    EXPECT_EQ(cancelled.link.callerForm(), "frmSplash");
    EXPECT_EQ(cancelled.link.commState(), kStateIdle);
    EXPECT_FALSE(cancelled.view.statusShown);

    LinkBench confirmed({}, false);
    confirmed.view.promptAnswers = {4};
    confirmed.link.loadFromDevice();
    EXPECT_TRUE(confirmed.link.midiSetup().midiConfigured);
    ASSERT_TRUE(confirmed.tickUntil([&] { return isLoadFinished(confirmed); }));
    EXPECT_EQ(confirmed.view.decoded.back(), confirmed.unit.program(4));
    EXPECT_EQ(confirmed.link.callerForm(), "frmMain");
    confirmed.link.loadFromDevice();
    EXPECT_EQ(confirmed.view.midiSetupShown, 1);
}

// Two writes and a load in one run all address the first unit, as every operation
// starts again from it.
TEST(DeviceLink, EveryOperationAddressesTheFirstUnitAgain) {
    LinkBench bench;
    bench.view.promptAnswers = {2, 6, 2};
    auto first = plausibleProgramData(11, kFormatByteDefault);
    bench.view.imageToWrite = first;
    bench.link.writeToDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.unit.rebootCount() == 1; }));
    bench.ticks(30);
    EXPECT_EQ(bench.link.deviceIndex(), 1);

    auto second = plausibleProgramData(12, kFormatByteDefault);
    bench.view.imageToWrite = second;
    bench.link.writeToDevice();
    EXPECT_EQ(bench.link.deviceIndex(), 0);
    // The read-back after the first write rebooted the unit once more.
    ASSERT_TRUE(bench.tickUntil([&] { return bench.unit.rebootCount() == 3; }));
    EXPECT_EQ(bench.unit.program(2), first);
    EXPECT_EQ(bench.unit.program(6), second);
    for (const auto& update : bench.receivedWithCommand(updateCommand())) {
        EXPECT_EQ(update[4], 0x00);
    }
    bench.ticks(30);

    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return !bench.view.decoded.empty(); }));
    EXPECT_EQ(bench.view.decoded.back(), first);
}

// After a file load the write still finishes: "Done." and the result display.
TEST(DeviceLink, WriteAfterAFileLoadEndsWithDone) {
    LinkBench bench;
    bench.view.promptAnswers = {1};
    bench.link.fileLoadFinished(1, "organ.vrx");
    bench.ticks(25);
    bench.link.writeToDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.unit.rebootCount() == 1; }));
    EXPECT_TRUE(bench.view.statusText.ends_with("Done.")) << bench.view.statusText;
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 2; }));
    EXPECT_EQ(bench.link.commState(), kStateResultShown);
    EXPECT_EQ(bench.link.programBlockCount(), 1);
}

TEST(DeviceLink, FileLoadResultIsShownOnTheNextTick) {
    struct Row {
        int blocks;
        std::string text;
        bool tabScope;
    };
    const std::vector<Row> table = {
        {1, "Program Data successfully loaded from file organ.vrx", true},
        {0, "Invalid VRX Program Data file... Sorry.", false},
    };
    for (const auto& row : table) {
        LinkBench bench;
        bench.view.tabScopeVisible = !row.tabScope;
        bench.link.fileLoadFinished(row.blocks, "organ.vrx");
        EXPECT_EQ(bench.view.statusText, "");
        bench.tick();
        EXPECT_EQ(bench.view.statusText, row.text);
        EXPECT_EQ(bench.view.statusCaption, "Loading Program Data From File");
        EXPECT_TRUE(bench.view.statusShown);
        EXPECT_EQ(bench.view.tabScopeVisible, row.tabScope);
        EXPECT_TRUE(bench.view.gridShown);
        EXPECT_EQ(bench.link.commState(), kStateResultShown);
        bench.ticks(21);
        EXPECT_FALSE(bench.view.statusShown);
    }
}

// A modal dialog runs its own event loop: ticks and answers that come meanwhile must
// not step the link again.
TEST(DeviceLink, TicksAndMessagesDuringAModalDialogWaitForItToClose) {
    LinkBench bench;
    bench.view.promptAnswers = {7};
    bench.unit.settings().responseParts = 4;
    int stateDuringPrompt = -1;
    bench.view.whileModal = [&] {
        bench.view.whileModal = nullptr;
        // The request is in the queue; ticks during the dialog neither send it nor
        // handle anything.
        const auto queued = bench.link.outputQueue().midiOutQueue().size();
        bench.ticks(30);
        EXPECT_EQ(bench.link.outputQueue().midiOutQueue().size(), queued);
        stateDuringPrompt = bench.link.commState();
    };
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return isLoadFinished(bench); }));
    EXPECT_EQ(stateDuringPrompt, kStatePromptPause);
    EXPECT_EQ(bench.view.decoded.back(), bench.unit.program(7));
}

TEST(DeviceLink, AStepThatThrowsLeavesLaterTicksWorking) {
    LinkBench bench;
    bench.view.promptAnswers = {1, 4};
    bench.view.whileModal = [] { throw std::runtime_error("dialog failed"); };
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStatePromptPause; }));
    EXPECT_THROW(bench.ticks(20), std::runtime_error);
    EXPECT_FALSE(bench.link.busy());

    bench.view.whileModal = nullptr;
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.decoded.size() == 1; }));
    EXPECT_EQ(bench.view.decoded.back(), bench.unit.program(4));
}

TEST(DeviceLink, AnswersArrivingDuringTheWritePromptAreHandledAfterIt) {
    LinkBench bench;
    bench.view.promptAnswers = {1};
    bench.unit.faults().echo = true;  // something arrives while the prompt is open
    bench.view.whileModal = [&] {
        bench.view.whileModal = nullptr;
        bench.ticks(5);
    };
    bench.link.writeToDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.unit.rebootCount() == 1; }));
    EXPECT_EQ(bench.view.promptTitles.size(), 1u);
    EXPECT_EQ(bench.receivedWithCommand(updateCommand()).size(), 4u);
}

TEST(DeviceLink, ProgramBeyondTheAcceptedRangeFallsBackToProgramOne) {
    // The DIP switches select program 20 of 16: the prompt accepts nothing yet.
    SimulatedUnitSettings settings;
    settings.dipSwitchProgram = 20;
    LinkBench bench(settings);
    bench.view.promptAnswers = {9};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return isLoadFinished(bench); }));
    EXPECT_EQ(bench.link.programPrompt().maxProgramNumber(), 0);
    EXPECT_EQ(bench.link.activeProgram(), 1);
    EXPECT_EQ(bench.view.decoded.back(), bench.unit.program(1));
}

TEST(DeviceLink, BackupReadsEveryProgramTheUnitReportsInOrder) {
    SimulatedUnitSettings settings;
    settings.programCount = 5;
    settings.responseParts = 2;
    LinkBench bench(settings);
    bench.link.backupFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));
    ASSERT_EQ(bench.view.programsRead.size(), 5u);
    for (int p = 1; p <= 5; ++p) {
        EXPECT_EQ(bench.view.programsRead[p], bench.unit.program(p)) << "program " << p;
    }
    EXPECT_TRUE(bench.view.promptTitles.empty());
    bench.ticks(2);
    EXPECT_EQ(bench.unit.rebootCount(), 1);
}

}  // namespace
}  // namespace vrx

namespace vrx {
namespace {

TEST(DeviceLink, BackupCountsOnlyTheProgramsARequestCanAddress) {
    testing::LinkBench bench;
    bench.unit.settings().programCount = kMaxAddressableProgram + 2;  // as it reports
    bench.link.backupFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.programsRead.size() == 1; }));
    EXPECT_EQ(bench.view.statusText, "Reading program 2 of 8192..");
}

}  // namespace
}  // namespace vrx
