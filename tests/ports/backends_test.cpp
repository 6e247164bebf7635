// The pieces between a MIDI driver and the link: the RtMidi backend on a machine
// without MIDI, the device lists, the hand-over between threads, the joining of SysEx
// pieces, and the simulated unit: listed after the real devices, answering in the
// cable's time, whole, in parts or as its faults make it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "files/config_file.h"
#include "files/program_folder.h"
#include "files/temp_folder.h"
#include "model/program_image.h"
#include "ports/chained_ports.h"
#include "ports/counted_ports.h"
#include "ports/incoming_mailbox.h"
#include "ports/midi_port_set.h"
#include "ports/simulated_fault_names.h"
#include "ports/simulated_memory.h"
#include "ports/simulated_ports.h"
#include "ports/simulated_unit.h"
#include "ports/sysex_joiner.h"
#include "ports/system_ports.h"
#include "protocol/messages.h"
#include "protocol/midi_device_list.h"
#include "protocol/midi_setup.h"

namespace vrx {
namespace {

// Devices are listed by their positions, the simulated unit after the real ones, even
// where there are none; without the MIDI service every call of the real backend fails
// cleanly.
TEST(MidiDeviceList, EntriesAreNumberedByPositionWithTheSimulatorLastAndChainedPortsFollowOn) {
    VirtualClock clock;
    MidiPortOptions options;
    options.withSimulator = true;
    MidiPortSet ports(clock, options);
    const auto inputs = inputDeviceEntries(ports.input());
    const auto outputs = outputDeviceEntries(ports.output());
    EXPECT_EQ(inputs.entries.back(),
              "#" + std::to_string(ports.simulatorInputPosition()) + ": VRX Simulator");
    EXPECT_EQ(outputs.entries.back(),
              "#" + std::to_string(ports.simulatorOutputPosition()) + ": VRX Simulator");
#ifndef _WIN32  // WinMM lists no devices without failing: tests/windows/ports has its own
    if (!std::filesystem::exists("/dev/snd/seq")) {  // no ALSA sequencer on this machine
        EXPECT_TRUE(inputs.error.empty());
        EXPECT_EQ(outputs.entries,
                  (std::vector<std::string>{"[Choose a MIDI out device]",
                                            "#1: Default MIDI output (VRX Simulator)",
                                            "#2: VRX Simulator"}));
        const auto input = makeSystemMidiInput([] {}, MidiApi::kAlsa);
        const auto output = makeSystemMidiOutput(MidiApi::kAlsa);
        EXPECT_FALSE(input->deviceCount());
        EXPECT_FALSE(output->deviceName(0));
        EXPECT_FALSE(input->open());
        EXPECT_EQ(input->state(), kPortClosed);
        output->selectDevice(MidiOutput::kDefaultDevice);
        EXPECT_FALSE(output->open());
        EXPECT_FALSE(output->sendSysex(Bytes{0xF0, 0xF7}));
        const auto entries = inputDeviceEntries(*input);
        EXPECT_FALSE(entries.error.empty());
        EXPECT_EQ(entries.entries, std::vector<std::string>{"[Choose a MIDI in device]"});
    }
#endif

    testing::ListedInput input({"USB In"});
    testing::ListedOutput output({"USB Out", "Synth"});
    EXPECT_EQ(inputDeviceEntries(input).entries,
              (std::vector<std::string>{"[Choose a MIDI in device]", "#1: USB In"}));
    EXPECT_EQ(
        outputDeviceEntries(output).entries,
        (std::vector<std::string>{"[Choose a MIDI out device]", "#1: Default MIDI output (USB Out)",
                                  "#2: USB Out", "#3: Synth"}));
    // Position 3 opens output device 1, input position 1 input device 0.
    EXPECT_EQ(outputDeviceForPosition(3), 1);
    EXPECT_EQ(inputDeviceForPosition(1), 0);

    // The devices of a second port follow those of the first.
    SimulatedUnit first(clock);
    SimulatedUnit second(clock);
    SimulatedInput firstIn(first), secondIn(second);
    SimulatedOutput firstOut(first), secondOut(second);
    ChainedInput chainedIn(firstIn, secondIn);
    ChainedOutput chainedOut(firstOut, secondOut);
    EXPECT_EQ(*chainedIn.deviceCount(), 2);
    EXPECT_EQ(*chainedOut.deviceCount(), 2);

    // Device 1 of the chain is the second unit: only it hears and answers.
    chainedOut.selectDevice(1);
    ASSERT_TRUE(chainedOut.open());
    chainedIn.selectDevice(1);
    ASSERT_TRUE(chainedIn.open());
    chainedIn.start();
    ASSERT_TRUE(chainedOut.sendSysex(identityRequest()));
    EXPECT_TRUE(first.received().empty());
    EXPECT_EQ(second.received().size(), 1u);
    clock.advanceBy(20);
    chainedIn.dispatchEvents();
    ASSERT_EQ(chainedIn.queuedMessageCount(), 1u);
    EXPECT_TRUE(isIdentityReply(chainedIn.currentMessage().sysex));
}

TEST(IncomingMailbox, HandsMessagesFromAnotherThreadOverWithOneNotificationPerBatch) {
    std::atomic<int> notifications = 0;
    IncomingMailbox mailbox([&] { ++notifications; });
    constexpr int kMessages = 1000;
    std::thread driver([&] {
        for (int i = 0; i < kMessages; ++i) {
            mailbox.post(Bytes{0xF0, static_cast<std::uint8_t>(i & 0x7F), 0xF7});
        }
    });
    std::vector<Bytes> taken;
    while (taken.size() < kMessages) {
        auto some = mailbox.takeAll();
        taken.insert(taken.end(), some.begin(), some.end());
        std::this_thread::yield();
    }
    driver.join();
    for (int i = 0; i < kMessages; ++i) {
        EXPECT_EQ(taken[static_cast<std::size_t>(i)][1], i & 0x7F);
    }
    const int before = notifications.load();
    mailbox.post(Bytes{0xF0, 0xF7});
    mailbox.post(Bytes{0xF0, 0xF7});
    EXPECT_EQ(notifications.load(), before + 1);
    // A wake without a message calls for the user-interface thread once per batch too,
    // and leaves nothing to deliver.
    EXPECT_EQ(mailbox.takeAll().size(), 2u);
    mailbox.wake();
    mailbox.wake();
    mailbox.post(Bytes{0xF0, 0xF7});
    EXPECT_EQ(notifications.load(), before + 2);
    EXPECT_EQ(mailbox.takeAll().size(), 1u);
    mailbox.wake();
    EXPECT_EQ(notifications.load(), before + 3);
    EXPECT_TRUE(mailbox.takeAll().empty());
}

TEST(SysexJoiner, JoinsPiecesUpToTheEndByteAndDropsBrokenMessages) {
    const Bytes whole{0xF0, 0x00, 0x21, 0x5E, 0x01, 0x02, 0xF7};
    // What happens, the pieces the driver hands over, the messages delivered.
    const std::tuple<const char*, std::vector<Bytes>, std::vector<Bytes>> cases[] = {
        {"pieces", {{0xF0, 0x00, 0x21}, {0x5E, 0x01}, {0x02, 0xF7}}, {whole}},
        {"one piece", {whole}, {whole}},
        {"clock and active sensing between and inside the pieces",
         {{0xF0, 0x00, 0xF8, 0x21}, {0xFE}, {0x5E, 0x01}, {0xF8}, {0x02, 0xFE, 0xF7}},
         {whole}},
        {"a note-on ends the broken message and still arrives; the rest is dropped",
         {{0xF0, 0x00, 0x21}, {0x90, 0x3C, 0x40}, {0x5E, 0x01}, {0x02, 0xF7}},
         {{0x90, 0x3C, 0x40}}},
        {"a status byte inside a piece", {{0xF0, 0x00, 0x21, 0xB0, 0x5E}, {0x02, 0xF7}}, {}},
        {"a new start drops the broken message",
         {{0xF0, 0x05}, {0xF0, 0x00, 0x21}, {0x5E, 0x01, 0x02, 0xF7}},
         {whole}},
        {"short messages outside a SysEx",
         {{0x90, 0x3C, 0x40}, {0xFE}},
         {{0x90, 0x3C, 0x40}, {0xFE}}},
    };
    for (const auto& [what, pieces, expected] : cases) {
        SysexJoiner joiner;
        std::vector<Bytes> delivered;
        for (const auto& piece : pieces) {
            for (auto& message : joiner.add(piece)) {
                delivered.push_back(std::move(message));
            }
        }
        EXPECT_EQ(delivered, expected) << what;
    }
}

// At 31 250 baud a byte takes 320 µs on the cable, each way.
TEST(SimulatedUnit, AnswersAfterTheWireTimeWholeInPartsOrAsTheFaultsMakeThem) {
    VirtualClock clock;
    SimulatedUnitSettings settings;
    settings.dipSwitchProgram = 3;
    settings.programCount = 200;
    settings.formatByte = 19;
    SimulatedUnit unit(clock, settings);
    unit.receive(identityRequest());
    EXPECT_EQ(unit.nextArrivalMs(), 9);  // 6 bytes out and 22 back: 8.96 ms
    clock.advanceTo(8);
    EXPECT_TRUE(unit.takeArrived().empty());
    clock.advanceTo(9);
    const auto arrived = unit.takeArrived();
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived.front(),
              (Bytes{0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x21, 0x5E, 0x01, 0x00, 0x01,
                     0x05, 0x09, 0x0C, 0x1F, 0x00, 0x02, 0x00, 0x48, 0x01, 0x13, 0xF7}));

    // The first answer is back after 14 + 305 bytes, 102.08 ms; the second, ready long
    // before, waits for the cable and follows 97.6 ms later.
    unit.receive(programRequest(0, 0));
    unit.receive(programRequest(0, 1));
    clock.advanceTo(9 + 103);
    EXPECT_EQ(unit.takeArrived().size(), 1u);
    EXPECT_EQ(unit.nextArrivalMs(), 9 + 200);

    // What arrives back for two program requests: each answer whole or in parts, or as a
    // fault a test or the user can set makes it.
    struct Row {
        const char* name;
        int parts, ignored;
        bool echoWhileSilent;
        std::size_t truncateTo;
        std::vector<std::size_t> sizes;
    };
    const Row rows[] = {
        {"whole", 1, 0, false, 0, {305, 305}},
        {"in 2 parts", 2, 0, false, 0, {159, 159, 159, 159}},
        {"in 8 parts", 8, 0, false, 0, std::vector<std::size_t>(16, 49)},
        {"ignore two", 1, 2, false, 0, {}},
        {"echo while silent", 1, 0, true, 0, {14, 14}},
        {"truncated", 1, 0, false, 10, {10, 305}},
    };
    for (const auto& row : rows) {
        SimulatedUnit fresh(clock);
        fresh.settings().responseParts = row.parts;
        fresh.faults().ignoredRequests = row.ignored;
        fresh.faults().echo = fresh.faults().silent = row.echoWhileSilent;
        if (row.truncateTo > 0) {
            fresh.faults().truncateTo = row.truncateTo;
        }
        fresh.receive(programRequest(0, 0));
        fresh.receive(programRequest(0, 1));
        clock.advanceBy(1000);
        std::vector<std::size_t> sizes;
        for (const auto& m : fresh.takeArrived()) {
            sizes.push_back(m.size());
            EXPECT_EQ(m.back(), kSysexEnd) << row.name;
        }
        EXPECT_EQ(sizes, row.sizes) << row.name;
        EXPECT_EQ(fresh.requestCount(), 2) << row.name;
    }
}

// The faults a support person names on the command line: which take one number, which
// two, which none, and what each then does to the unit's answers.
TEST(SimulatedUnit, FaultNamesSetTheNewFaultsAndRefuseMalformedNumbers) {
    struct Row {
        const char* text;
        bool accepted;
    };
    const Row rows[] = {
        {"late-answer=2:300", true},    {"late-answer=2", false},
        {"late-answer=2:", false},      {"late-answer=x:3", false},
        {"late-answer", false},         {"silent-after-reboot=1", true},
        {"silent-after-reboot", false}, {"silent-after-reboot=1:2", false},
        {"stray-replies", true},        {"stray-replies=3", false},
        {"lose-answer=1:2", false},     {"no-such-fault", false},
    };
    VirtualClock clock;
    for (const auto& row : rows) {
        SimulatedUnit unit(clock);
        EXPECT_EQ(applySimulatorFault(unit, row.text).empty(), row.accepted) << row.text;
    }
    const auto help = simulatorFaultHelp();
    for (const char* name : {"late-answer=N:MS:", "silent-after-reboot=N:", "stray-replies:"}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
    }

    // With the first answer 500 ms late, the second follows it on the cable.
    SimulatedUnit late(clock);
    ASSERT_TRUE(applySimulatorFault(late, "late-answer=1:500").empty());
    const std::int64_t start = clock.nowMs();
    late.receive(identityRequest());
    late.receive(programRequest(0, 0));
    clock.advanceBy(400);
    EXPECT_TRUE(late.takeArrived().empty());
    EXPECT_EQ(late.nextArrivalMs(), start + 9 + 500);
    clock.advanceBy(300);
    const auto arrived = late.takeArrived();
    ASSERT_EQ(arrived.size(), 2u);
    EXPECT_TRUE(isIdentityReply(arrived.front()));
    EXPECT_TRUE(isManufacturerMessage(arrived.back()));

    // After the first reboot the unit hears, but answers nothing.
    SimulatedUnit quiet(clock);
    ASSERT_TRUE(applySimulatorFault(quiet, "silent-after-reboot=1").empty());
    quiet.receive(identityRequest());
    quiet.receive(vrxReboot(0));
    clock.advanceBy(2000);
    EXPECT_EQ(quiet.takeArrived().size(), 1u);
    quiet.receive(identityRequest());
    clock.advanceBy(2000);
    EXPECT_TRUE(quiet.takeArrived().empty());

    // Another unit on the cable answers now and then, the same way for the same seed,
    // with identity replies and whole programs nobody asked for.
    const auto strays = [&clock](std::uint32_t seed) {
        SimulatedUnit unit(clock);
        unit.faults().silent = true;
        unit.settings().behaviour.straySeed = seed;
        EXPECT_TRUE(applySimulatorFault(unit, "stray-replies").empty());
        std::vector<Bytes> arrived;
        for (int i = 0; i < 200; ++i) {
            unit.receive(identityRequest());
            clock.advanceBy(100);
            for (auto& m : unit.takeArrived()) {
                arrived.push_back(std::move(m));
            }
        }
        return arrived;
    };
    const auto first = strays(7);
    EXPECT_EQ(first, strays(7));
    EXPECT_NE(first, strays(8));
    const auto responses = std::ranges::count_if(
        first, [](const Bytes& m) { return isManufacturerMessage(m) && m.size() == 305; });
    EXPECT_GT(responses, 10);
    EXPECT_GT(static_cast<long>(first.size()) - responses, 2);
}

// The unit keeps its programs in a folder as a backup writes them: it starts with the
// bytes found there, whatever they are, and writes each program it stores back.
TEST(SimulatedUnit, KeepsItsProgramsInAFolderAcrossRestarts) {
    testing::TempFolder folder;
    Bytes seeded(kImageBytes, 0x00);
    for (std::size_t i = 0; i < seeded.size(); ++i) {
        seeded[i] = static_cast<std::uint8_t>((i * 37) % 256);
    }
    ASSERT_TRUE(writeConfigFile(programFileName(folder.path(), 2), seeded));
    VirtualClock clock;
    SimulatedUnit unit(clock);
    const auto builtInThree = unit.program(3);
    ASSERT_EQ(keepSimulatorMemoryIn(unit, folder.path()), "");
    EXPECT_EQ(unit.program(2), Bytes(seeded.begin(), seeded.begin() + kProgramBytes));
    EXPECT_EQ(unit.program(3), builtInThree);

    Bytes written(kProgramBytes, 0x00);
    written[0] = kFormatByteDefault;
    for (const auto& message : programUpdateMessages(0, 2, written)) {
        unit.receive(message);
        clock.advanceBy(600);
    }
    SimulatedUnit restarted(clock);
    ASSERT_EQ(keepSimulatorMemoryIn(restarted, folder.path()), "");
    EXPECT_EQ(restarted.program(3), written);
    EXPECT_EQ(restarted.program(2), unit.program(2));
    const auto file = readConfigFile(programFileName(folder.path(), 3));
    ASSERT_TRUE(std::holds_alternative<Bytes>(file));
    EXPECT_EQ(std::get<Bytes>(file).size(), kImageBytes);

    // A folder the unit cannot hold is refused with the file named.
    struct Refused {
        const char* file;
        const char* says;
    };
    const Refused refused[] = {
        {"program-017.vrx", "holds programs 1 to 16"},
        {"program-0002.vrx", "holds program 2 too"},
    };
    for (const auto& row : refused) {
        testing::TempFolder other;
        ASSERT_TRUE(writeConfigFile(programFileName(other.path(), 2), seeded));
        ASSERT_TRUE(writeConfigFile(other / row.file, seeded));
        SimulatedUnit fresh(clock);
        const auto problem = keepSimulatorMemoryIn(fresh, other.path());
        EXPECT_NE(problem.find(row.says), std::string::npos) << problem;
        EXPECT_NE(problem.find("program-0"), std::string::npos) << problem;
    }
}

}  // namespace
}  // namespace vrx

namespace vrx {
namespace {

// ALSA takes a message for a port with no one behind it without a word: the output
// looks for its device before and after each send, so a pulled cable fails the send.
TEST(MidiOutput, ASendFailsOnceItsDeviceIsNoLongerListed) {
    const std::string gone =
        " is no longer there: it was unplugged or switched off. Plug it in "
        "again, or choose another device in MIDI I/O Setup.";
    struct Case {
        int device;             // opened, of "A", "B"
        std::string unplugged;  // before the send
        std::string duringSend;
        std::string failure;  // empty: the send succeeds
    };
    const Case cases[] = {
        {1, "", "", ""},
        {1, "A", "", ""},  // B moved up a place, but is still there
        {1, "B", "", "The MIDI output \"B\"" + gone},
        {1, "", "B", "The MIDI output \"B\"" + gone},
        {1, "", "A", ""},
        // The default output stands for the first device, and goes with it.
        {MidiOutput::kDefaultDevice, "A", "", "The MIDI output \"A\"" + gone},
        {MidiOutput::kDefaultDevice, "B", "", ""},
    };
    for (const auto& c : cases) {
        testing::ListedOutput output({"A", "B"});
        output.selectDevice(c.device);
        ASSERT_TRUE(output.open());
        output.unplug(c.unplugged);
        output.unplugWhenSent = c.duringSend;
        const auto sent = output.sendSysex(Bytes{0xF0, 0x7E, 0xF7});
        EXPECT_EQ(sent ? std::string() : sent.error(), c.failure)
            << c.device << " " << c.unplugged << c.duringSend;
        // A device gone before the send gets nothing.
        EXPECT_EQ(output.sent.size(), c.unplugged.empty() || c.failure.empty() ? 1u : 0u);
    }
}

}  // namespace
}  // namespace vrx
