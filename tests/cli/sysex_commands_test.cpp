#include <vector>

#include "cli/syx_file.h"
#include "cli/vrxtool_app.h"
#include "cli/vrxtool_runner.h"
#include "files/atomic_file.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "protocol/hex_text.h"
#include "protocol/messages.h"

namespace vrx::cli {
namespace {

Bytes imageOf(const std::filesystem::path& path) {
    return std::get<Bytes>(readConfigFile(path));
}

// The image as a load leaves it: the unit's 256 bytes, then four zeros.
std::string loadedFile(ByteView image) {
    Bytes loaded(image.begin(), image.begin() + 256);
    loaded.resize(260, 0);
    return configFileText(loaded);
}

using SysexCommands = VrxtoolTest;

// The message bytes themselves are the core's; here: the program's page, the device
// byte, the image exactly as the file holds it (not decoded), and the reboot.
TEST_F(SysexCommands, WritesFourUpdatesAndARebootOfTheImageAsHeld) {
    const auto source = fixture("from_unit.vrx");
    const auto run =
        vrxtool({"sysex", source.string(), "--program", "3", "--device", "5", "-o", "out.syx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    auto expected = programUpdateMessages(5, 2, imageOf(source));
    std::vector<Bytes> messages(expected.begin(), expected.end());
    messages.push_back(vrxReboot(5));
    EXPECT_EQ(readBytes(file("out.syx")), joinSysexFile(messages));
}

TEST_F(SysexCommands, HexTextGoesToTheScreenOrAFile) {
    const auto source = fixture("church_console.vrx").string();
    const auto run = vrxtool({"sysex", source, "--program", "1", "--hex", "--no-reboot"});
    ASSERT_EQ(run.status, 0) << run.err;
    // Format 18, program byte 9, then the channel pairs: "#1" Expression with "#2" Volume
    // is 5C, "None" with "#3" Volume is 60. No byte is above 127, so the flag byte is 0.
    EXPECT_EQ(run.out.substr(0, 3 * 22),
              "f0 00 21 5e 00 04 01 08 00 00 00 00 00 4a 00 12 09 5c 60 00 00 00 ");
    std::string expected;
    for (const auto& m : programUpdateMessages(0, 0, imageOf(source))) {
        expected += bytesToHexText(m) + "\n";
    }
    EXPECT_EQ(run.out, expected);

    const auto toFile = vrxtool({"sysex", source, "--program", "1", "--hex", "-o", "x.txt"});
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(read(file("x.txt")), expected + bytesToHexText(vrxReboot(0)) + "\n");
}

TEST_F(SysexCommands, UnsysexOfSysexRestoresTheFileByteForByte) {
    for (const char* name :
         {"church_console.vrx", "theatre_console.vrx", "from_unit.vrx", "saved_after_unit.vrx"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(
            vrxtool({"sysex", fixture(name).string(), "--program", "7", "-o", "b.syx"}).status, 0);
        const auto run = vrxtool({"unsysex", "b.syx", "-o", "back.vrx"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(read(file("back.vrx")), read(fixture(name)));
    }
}

// Responses split any way, updates in any order, a response longer than a program, and
// on a MIDI loop the updates echoed back beside the responses with real-time bytes inside
// a response: each gives the image a load would.
TEST_F(SysexCommands, UnsysexRebuildsTheImageFromWhatALoadWouldTake) {
    const auto image = imageOf(fixture("theatre_console.vrx"));
    const auto updates = programUpdateMessages(0, 4, image);
    auto longer = image;
    longer.resize(300, 0x55);
    auto noisy = programResponse(0, ByteView(image).first(128));
    noisy.insert(noisy.begin() + 20, 0xF8);  // file byte 21 of the response at byte 90
    struct Case {
        std::vector<Bytes> messages;
        Bytes loaded;
        std::string err;
    };
    std::vector<Case> cases = {
        {{updates[2], vrxReboot(0), updates[0], updates[3], updates[1], vrxReboot(0)}, image, ""},
        {{programResponse(0, longer)}, longer, ""},
        {{updates[0], noisy, programResponse(0, ByteView(image).subspan(128))},
         image,
         "vrxtool: dump.syx: note: skipped message 1 (byte 1), which is not a "
         "PROGRAM_RESPONSE\n"
         "vrxtool: dump.syx: warning: skipped the stray byte 0xf8 at byte 110 in message 2 "
         "(byte 90)\n"},
    };
    for (std::size_t parts : {1u, 2u, 4u, 8u}) {
        Case split{{tagMessage(), identityRequest()},
                   image,
                   "vrxtool: dump.syx: note: skipped message 1 (byte 1), which is not a "
                   "PROGRAM_RESPONSE\nvrxtool: dump.syx: note: skipped message 2 (byte 10), "
                   "which is not a PROGRAM_RESPONSE\n"};
        for (std::size_t p = 0; p < parts; ++p) {
            split.messages.push_back(
                programResponse(static_cast<std::uint8_t>(p),
                                ByteView(image).subspan(p * 256 / parts, 256 / parts)));
        }
        // A response after the 256 bytes belongs to no load and changes nothing.
        split.messages.push_back(programResponse(0, Bytes(64, 0x00)));
        cases.push_back(split);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messages.size());
        write(file("dump.syx"), joinSysexFile(c.messages));
        const auto run = vrxtool({"unsysex", "dump.syx", "-o", "out.vrx"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(read(file("out.vrx")), loadedFile(c.loaded));
        EXPECT_EQ(run.err, c.err);
    }
}

TEST_F(SysexCommands, BadDumpsAreRefusedWithoutWritingAnything) {
    const auto image = imageOf(fixture("church_console.vrx"));
    const auto updates = programUpdateMessages(0, 0, image);
    const auto other = programUpdateMessages(0, 1, image);
    auto badLength = updates[1];
    badLength[13] = 0x40;
    struct Case {
        Bytes dump;
        std::string problem;
    };
    const Case cases[] = {
        {{}, "holds no PROGRAM_RESPONSE or PROGRAM_UPDATE message"},
        {joinSysexFile({tagMessage(), vrxReboot(0)}),
         "holds no PROGRAM_RESPONSE or PROGRAM_UPDATE message"},
        {programResponse(0, ByteView(image).first(200)),
         "the PROGRAM_RESPONSE messages hold 200 of the 256 bytes of a program"},
        {joinSysexFile({updates[0], updates[1], updates[3]}),
         "the PROGRAM_UPDATE messages hold 192 of the 256 bytes of a program; the first "
         "missing is byte 129"},
        {joinSysexFile({updates[0], other[1]}),
         "message 2 (byte 90): the PROGRAM_UPDATE is for program 2, but message 1 was for "
         "program 1"},
        {joinSysexFile({updates[0], badLength}),
         "message 2 (byte 90): the PROGRAM_UPDATE is broken (its length byte or packed data "
         "do not fit)"},
        {joinSysexFile({tagMessage(), Bytes{0xF0, 0x7E, 0xF0, 0xF7}}),
         "byte 12: 0xf0 inside the SysEx message of byte 10"},
        {Bytes{0xF0, 0x7E, 0x00, 0x06, 0x01},
         "byte 1: the SysEx message that starts here has no F7"},
        {joinSysexFile({tagMessage(), Bytes{0x90, 0x40, 0x7F}}),
         "byte 10: 0x90 lies outside a SysEx message"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        write(file("dump.syx"), c.dump);
        const auto run = vrxtool({"unsysex", "dump.syx", "-o", "out.vrx"});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "vrxtool: dump.syx: " + c.problem + "\n");
        EXPECT_FALSE(std::filesystem::exists(file("out.vrx")));
    }
}

TEST_F(SysexCommands, StrayF7EndsAResponseEarlyAndIsMalformed) {
    const auto image = imageOf(fixture("church_console.vrx"));
    auto first = programResponse(0, ByteView(image).first(128));
    // A stray F7 among the packed data ends the message there; what follows lies
    // outside any message.
    first.insert(first.begin() + 15, 0xF7);
    write(file("dump.syx"),
          joinSysexFile({first, programResponse(0, ByteView(image).subspan(128, 128))}));
    const auto run = vrxtool({"unsysex", "dump.syx", "-o", "out.vrx"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("vrxtool: dump.syx: byte 17: ", 0), 0u) << run.err;
}

TEST_F(SysexCommands, SysexChecksItsArguments) {
    const auto source = fixture("church_console.vrx").string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"sysex", source, "--program", "0", "-o", "x.syx"},
             {"sysex", source, "--program", "257", "-o", "x.syx"},
             {"sysex", source, "--program", "1", "--device", "128", "-o", "x.syx"},
             {"sysex", source, "-o", "x.syx"},
             {"sysex", source, "--program", "1"},
             {"sysex", "absent.vrx", "--program", "1", "-o", "x.syx"},
         }) {
        const auto run = vrxtool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_FALSE(run.err.empty());
        EXPECT_FALSE(std::filesystem::exists(file("x.syx")));
    }
    const auto last =
        vrxtool({"sysex", source, "--program", "256", "--device", "127", "-o", "x.syx"});
    EXPECT_EQ(last.status, 0) << last.err;
    const auto syx = readBytes(file("x.syx"));
    EXPECT_EQ(Bytes(syx.begin() + 4, syx.begin() + 5), Bytes{0x7F});
    EXPECT_EQ(Bytes(syx.begin() + 10, syx.begin() + 13), (Bytes{0x00, 0x7E, 0x03}));
}

// The failure in the middle of a save is only reachable inside the process.
TEST_F(SysexCommands, WriteFailureKeepsTheEarlierOutput) {
    write(file("out.syx"), "earlier backup");
    setBeforeRenameHookForTesting(
        [](const std::filesystem::path&) { return Status::failure("No space left on device"); });
    const auto source = fixture("church_console.vrx").string();
    const auto target = file("out.syx").string();
    std::vector<std::string> args{"vrxtool", "sysex", source, "--program", "1", "-o", target};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    testing::internal::CaptureStderr();
    const int status = runVrxtool(static_cast<int>(argv.size()), argv.data());
    const auto err = testing::internal::GetCapturedStderr();
    setBeforeRenameHookForTesting(nullptr);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "vrxtool: " + target + ": cannot write: No space left on device\n");
    EXPECT_EQ(read(file("out.syx")), "earlier backup");
}

}  // namespace
}  // namespace vrx::cli
