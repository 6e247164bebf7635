#include "link/device_link.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "link/link_bench.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

using testing::LinkBench;
using Journal = std::vector<std::string>;

// The first read of a run waits a second after the Identity Reply before the prompt,
// and its result stays on screen for 2.1 s; the next read prompts at once, as the
// result display left the pause run out. A compare reads the program for the Compare
// window and leaves the editor alone; MIDI setup comes first on a new installation.
TEST(DeviceLink, FirstReadPausesBeforeThePromptAndTheNextPromptsAtOnce) {
    LinkBench bench({}, false);
    bench.view.promptAnswers = {3, 5};
    bench.view.windowTitle = "VRXConfig - Editing File: organ.vrx";
    bench.link.compareWithDevice();
    EXPECT_EQ(bench.link.callerForm(), "frmSplash");
    EXPECT_EQ(bench.link.outputQueue().midiOutQueue().front(), "r");  // ports open first
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 1; }));
    const Journal expected = {
        "100 =Requesting VRX Configuration..",
        "100 shown",
        "200 unit got TAG MESSAGE",
        "300 unit got Identity Request",
        // The reply came before the tick at 400, the first of the pause's eleven.
        "1400 prompt Loading Program Data From VRX",
        "1400 =Requesting VRX Program Data.. ok",
        "1500 unit got PROGRAM_REQUEST for program 3",
        "1700 +\r\nLoading Program Data from VRX...\r\nDone.",
        "1700 unit got VRX_REBOOT",
        "3800 hidden",
        "3800 commands back",
    };
    EXPECT_EQ(bench.journal, expected);
    EXPECT_TRUE(bench.view.decoded.empty());
    EXPECT_EQ(bench.view.programsRead, (std::map<int, Bytes>{{3, bench.unit.program(3)}}));
    EXPECT_EQ(bench.view.windowTitle, "VRXConfig - Editing File: organ.vrx");

    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 2; }));
    EXPECT_EQ(
        Journal(bench.journal.begin() + 14, bench.journal.begin() + 16),
        (Journal{"4100 unit got Identity Request", "4200 prompt Loading Program Data From VRX"}));
    EXPECT_EQ(bench.view.decoded, std::vector<Bytes>{bench.unit.program(5)});
    EXPECT_EQ(bench.receivedWithCommand(messageConstants().cmdProgramRequest),
              (std::vector<Bytes>{programRequest(0, 2), programRequest(0, 4)}));
    // The editor shows the program read, the unit's firmware, and MIDI setup ran once.
    EXPECT_EQ(std::tuple(bench.view.windowTitle, bench.view.tabScopeVisible && bench.view.gridShown,
                         bench.view.midiStopChecks, bench.link.firmwareVersionText(),
                         bench.view.midiSetupShown, bench.link.callerForm()),
              std::tuple("VRXConfig - Editing Program Data #5", true, 2, "1.5, 12/31/2009", 1,
                         "frmMain"));
}

// Every message of a write, the identity exchange's included, is followed by 600 ms in
// which the timer and the input wait.
TEST(DeviceLink, WriteSendsItsMessagesExactlySixHundredMillisecondsApart) {
    LinkBench bench;
    bench.link.setVerifyAfterWriting(false);  // the read-back has its own tests
    bench.view.promptAnswers = {3};
    const Bytes image = testing::plausibleImage(9);
    bench.view.imageToWrite = image;
    bench.link.writeToDevice();
    EXPECT_EQ(bench.view.statusCaption, "Writing Program Data to VRX");
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 1; }));
    // The reply that came during the identity request's pause opens the prompt on the
    // tick that ends it; the result stays while the last pause and 17 more ticks run out.
    const Journal expected = {
        "100 =Requesting VRX Configuration first...",
        "100 shown",
        "200 unit got TAG MESSAGE",
        "800 unit got Identity Request",
        "1400 prompt Writing Program Data To VRX",
        "1400 + ok\r\nWriting Program Data to VRX... \r\n",
        "1400 unit got PROGRAM_UPDATE block 1 of program 3",
        "2000 unit got PROGRAM_UPDATE block 2 of program 3",
        "2600 unit got PROGRAM_UPDATE block 3 of program 3",
        "3200 unit got PROGRAM_UPDATE block 4 of program 3",
        "3800 +Done.",
        "3800 unit got VRX_REBOOT",
        "6000 hidden",
        "6000 commands back",
    };
    EXPECT_EQ(bench.journal, expected);
    const auto blocks = programUpdateMessages(0, 2, image);
    EXPECT_EQ(bench.unit.received(),
              (std::vector<Bytes>{tagMessage(), identityRequest(), blocks[0], blocks[1], blocks[2],
                                  blocks[3], vrxReboot(0)}));
    EXPECT_EQ(bench.view.imageFormatBytes, std::vector<std::uint8_t>{18});
    EXPECT_EQ(bench.unit.program(3), Bytes(image.begin(), image.begin() + kProgramBytes));
}

// A request the unit leaves unanswered for 2 s is asked again, three times; then the
// load ends saying why, and the reason stays until the user closes it.
TEST(DeviceLink, UnansweredRequestIsAskedAgainThreeTimesThenTheLoadSaysWhy) {
    LinkBench bench;
    bench.view.promptAnswers = {6};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return !bench.view.promptTitles.empty(); }));
    bench.unit.faults().silent = true;
    bench.journal.clear();
    bench.ticks(120);
    const Journal expected = {
        "1500 unit got PROGRAM_REQUEST for program 6",
        "3500 +.",
        "3500 unit got PROGRAM_REQUEST for program 6",
        "5500 +.",
        "5500 unit got PROGRAM_REQUEST for program 6",
        "7500 +.",
        "7500 unit got PROGRAM_REQUEST for program 6",
        "9500 +\r\nThe VRX stopped answering. Check your MIDI connections and try again.",
    };
    EXPECT_EQ(bench.journal, expected);
    EXPECT_TRUE(bench.view.decoded.empty());
}

// An Identity Reply from a unit with DIP program 5, 8 programs and firmware byte 18.
const Bytes kIdentityReply = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x21, 0x5E, 0x01, 0x00, 0x01,
                              0x05, 0x09, 0x0C, 0x1F, 0x00, 0x04, 0x00, 0x08, 0x00, 0x12, 0xF7};

// A silent unit is asked every second; once the user closes the status window it is
// asked no more and the load is over.
TEST(DeviceLink, SilentUnitGetsAnIdentityRequestEverySecondWithDotsAndTheWarning) {
    LinkBench bench;
    bench.unit.faults().silent = true;
    bench.link.loadFromDevice();
    const std::string warning =
        "Check your MIDI connections and make sure that your VRX is turned on!\r\nRetrying...";
    // Ticks counted from the load: the requests the unit got, and the status text.
    const std::map<int, std::string> expected = {
        {11, "2 Requesting VRX Configuration..."},
        {41, "5 Requesting VRX Configuration......"},
        {51, "6 " + warning},
        {61, "7 " + warning + "."},
        {101, "11 " + warning},
    };
    for (int tick = 1; tick <= 101; ++tick) {
        bench.tick();
        if (expected.contains(tick)) {
            EXPECT_EQ(std::to_string(bench.unit.requestCount()) + " " + bench.view.statusText,
                      expected.at(tick));
        }
    }
    // A reply too short to hold its fields tells nothing.
    Bytes shortReply(kIdentityReply.begin(), kIdentityReply.begin() + 16);
    shortReply.back() = kSysexEnd;
    bench.link.handleSysexMessage(shortReply);
    EXPECT_EQ(bench.link.commState(), kStateAwaitingIdentity);
    // Closing the status window ends the load: the asking stops, the input closes, the
    // commands come back and a reply that comes after all changes nothing.
    bench.link.statusWindowClosed();
    EXPECT_EQ(bench.input.state(), kPortClosed);
    EXPECT_FALSE(bench.view.statusShown);
    bench.ticks(100);
    EXPECT_EQ(bench.unit.requestCount(), 11);
    EXPECT_EQ(bench.view.commandsEnabled, 1);
    EXPECT_FALSE(bench.link.unitOperationInProgress());
    bench.link.handleSysexMessage(kIdentityReply);
    EXPECT_EQ(bench.link.commState(), kStateResultShown);
    EXPECT_EQ(bench.link.dipSwitchProgram(), 0);
}

// Cancel, or the prompt closed another way: nothing is asked of the unit or sent to it.
TEST(DeviceLink, CancelledPromptEndsTheOperationWithoutTouchingTheUnit) {
    for (const bool write : {false, true}) {
        for (const int answer : {-1, 0}) {
            LinkBench bench;
            bench.view.promptAnswers = {answer};
            write ? bench.link.writeToDevice() : bench.link.loadFromDevice();
            ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 1; }));
            // The identity exchange only went out; nothing came into the editor.
            EXPECT_EQ(std::tuple(bench.link.operationMarker(), bench.view.statusShown,
                                 bench.view.decoded.size(), bench.unit.received().size()),
                      std::tuple(kMarkerCancelled, false, 0u, 2u));
        }
    }
    LinkBench unconfigured({}, false);
    unconfigured.view.cancelMidiSetup = true;
    unconfigured.link.loadFromDevice();
    EXPECT_EQ(unconfigured.link.commState(), kStateIdle);
    EXPECT_FALSE(unconfigured.view.statusShown);
}

// The file's result shows on the next tick; a write after it still ends with "Done.".
TEST(DeviceLink, FileLoadResultIsShownOnTheNextTickAndAWriteFollowsIt) {
    for (const int blocks : {1, 0}) {
        LinkBench bench;
        bench.view.tabScopeVisible = blocks == 0;
        bench.link.fileLoadFinished(blocks, "organ.vrx");
        bench.tick();
        EXPECT_EQ(bench.view.statusText,
                  blocks == 1 ? "Program Data successfully loaded from file organ.vrx"
                              : "Invalid VRX Program Data file... Sorry.");
        EXPECT_EQ(
            std::tuple(bench.view.statusCaption, bench.view.statusShown && bench.view.gridShown,
                       bench.view.tabScopeVisible),
            std::tuple("Loading Program Data From File", true, blocks == 1));
        ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 1; }));
        bench.link.writeToDevice();
        ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 2; }));
        EXPECT_TRUE(bench.view.statusText.ends_with("Done.\r\nVerifying... ok"));
    }
}

// A modal dialog runs its own event loop: ticks and answers that come meanwhile must
// not step the link again, and a dialog that throws leaves later ticks working. Every
// operation addresses the first unit again; the ports close after each one and open
// again ahead of the next.
TEST(DeviceLink, TicksAndMessagesDuringAModalDialogWaitForItToClose) {
    LinkBench bench;
    bench.view.promptAnswers = {7, 2, 1, 2};
    bench.unit.settings().responseParts = 4;
    bench.view.whileModal = [&] {
        bench.view.whileModal = nullptr;
        const auto queued = bench.link.outputQueue().midiOutQueue().size();
        bench.ticks(30);
        EXPECT_EQ(bench.link.outputQueue().midiOutQueue().size(), queued);
        EXPECT_EQ(bench.link.commState(), kStatePromptPause);
    };
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 1; }));
    EXPECT_EQ(bench.view.decoded.back(), bench.unit.program(7));

    bench.unit.faults().echo = true;  // the write's own messages arrive while it prompts
    bench.view.whileModal = [&] {
        bench.view.whileModal = nullptr;
        bench.ticks(5);
    };
    bench.view.imageToWrite = plausibleProgramData(12, kFormatByteDefault);
    bench.link.writeToDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 2; }));
    EXPECT_EQ(bench.link.deviceIndex(), 1);
    EXPECT_EQ(bench.input.state(), kPortClosed);
    EXPECT_EQ(bench.view.promptTitles.size(), 2u);
    EXPECT_EQ(bench.receivedWithCommand(messageConstants().cmdProgramUpdate).size(), 4u);

    bench.view.whileModal = [] { throw std::runtime_error("dialog failed"); };
    bench.link.loadFromDevice();
    EXPECT_THROW(bench.ticks(20), std::runtime_error);
    EXPECT_FALSE(bench.link.busy());
    bench.view.whileModal = nullptr;
    bench.link.loadFromDevice();
    EXPECT_EQ(bench.link.deviceIndex(), 0);
    bench.tick();
    EXPECT_EQ(bench.input.state(), kPortReceiving);
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.decoded.size() == 2; }));
    EXPECT_EQ(bench.view.decoded.back(), bench.view.imageToWrite);
}

// A backup reads the programs in order without a prompt, as many as a request can
// address; a cancel stops once the program being read has arrived: the fourth request
// was already out, its answer is kept, nothing more is asked.
TEST(DeviceLink, BackupReadsEveryProgramARequestCanAddressInOrder) {
    LinkBench bench;
    bench.unit.settings().programCount = kMaxAddressableProgram + 2;  // as it reports
    bench.link.backupFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.programsRead.size() == 3; }));
    EXPECT_EQ(bench.view.statusText, "Reading program 4 of 8192..");
    bench.link.cancelBackup();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.view.commandsEnabled == 1; }));
    std::map<int, Bytes> read;
    for (int p = 1; p <= 4; ++p) {
        read[p] = bench.unit.program(p);
    }
    EXPECT_EQ(bench.view.programsRead, read);
    EXPECT_EQ(bench.receivedWithCommand(messageConstants().cmdProgramRequest).size(), 4u);
    EXPECT_TRUE(bench.view.promptTitles.empty());
    EXPECT_EQ(bench.unit.rebootCount(), 1);
}

// A PROGRAM_RESPONSE as the unit sends it, with the address of its data, cut to
// `length` bytes with its F7 kept.
Bytes response(ByteView raw, unsigned address, std::size_t length = 0) {
    Bytes m = programResponse(5, raw);
    for (std::size_t i = 0; i < 3; ++i) {
        m[kResponseHeaderBytes - 3 + i] = static_cast<std::uint8_t>((address >> (7 * i)) & 0x7F);
    }
    if (length > 0) {
        m.resize(length - 1);
        m.push_back(kSysexEnd);
    }
    return m;
}

// Parts before the last leave the link receiving; a response too short to hold its
// header carries no data, and one with an empty payload as the first answer starts the
// gathering afresh. The unit's own answer, arriving after the program is whole, is
// ignored.
TEST(IncomingHandling, EachPartOfTheAnswerIsGatheredUntilTheProgramIsWhole) {
    LinkBench bench;
    bench.view.promptAnswers = {2};
    bench.link.loadFromDevice();
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateRequestSent; }));
    bench.tick();  // "r" went out with the prompt; this tick sends the request
    const unsigned program2 = pageAddress(1);
    bench.link.handleSysexMessage(response({}, program2));
    EXPECT_EQ(bench.link.commState(), kStateReceiving);
    EXPECT_TRUE(bench.link.receivedProgramData().data().empty());
    const Bytes quarter(64, 0x41);
    for (unsigned k = 1; k <= 3; ++k) {
        bench.link.handleSysexMessage(response(quarter, program2 + 64 * (k - 1)));
        for (const std::size_t length : {8u, 9u, 11u, 12u}) {
            bench.link.handleSysexMessage(response({}, program2 + 64 * k, length));
        }
        EXPECT_EQ(bench.link.commState(), kStateReceiving) << "part " << k;
        EXPECT_EQ(bench.link.receivedProgramData().data().size(), 64u * k);
    }
    bench.link.handleSysexMessage(response(quarter, program2 + 192));
    EXPECT_EQ(bench.link.commState(), kStateFinished);
    EXPECT_EQ(bench.link.outputQueue().midiOutQueue().back(), "f0 00 21 5e 00 04 01 20 f7 ");
    ASSERT_TRUE(bench.tickUntil([&] { return bench.link.commState() == kStateResultShown; }));
    EXPECT_EQ(bench.view.decoded, std::vector<Bytes>{Bytes(kProgramBytes, 0x41)});
}

}  // namespace
}  // namespace vrx
