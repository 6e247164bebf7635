// vrxtool's file commands, run as a script runs them.
#include <nlohmann/json.hpp>

#include "cli/vrxtool_runner.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "protocol/hex_text.h"
#include "protocol/messages.h"

namespace vrx::cli {
namespace {

using nlohmann::json;

class FileCommands : public VrxtoolTest {
protected:
    Bytes imageOf(const std::string& name) const {
        return std::get<Bytes>(readConfigFile(file(name)));
    }
    // The messages that store the file's image in a program, with the closing reboot.
    std::vector<Bytes> storing(const std::string& name, std::uint8_t device, unsigned page) const {
        const auto updates = programUpdateMessages(device, page, imageOf(name));
        std::vector<Bytes> messages(updates.begin(), updates.end());
        messages.push_back(vrxReboot(device));
        return messages;
    }
};

// The messages back to back, as a .syx file holds them, or as lines of hex text.
std::string joined(const std::vector<Bytes>& messages, bool asHex = false) {
    std::string file;
    for (const auto& message : messages) {
        file +=
            asHex ? bytesToHexText(message) + "\n" : std::string(message.begin(), message.end());
    }
    return file;
}

// Each use: its exit status, a part of stdout (empty: stdout stays empty), and all of stderr:
// nothing, or the one line naming the file and the place. A bad input (2) or an output that
// cannot be written (1) leaves no out.* behind.
TEST_F(FileCommands, EachUseAnswersWithStatusOutputAndOneLine) {
    write(file("empty.vrx"), "");
    write(file("broken.vrx"), "note\r\n" + read(file("church_console.vrx")).replace(30, 2, "x1"));
    write(file("broken.json"), "{\"channels\": [\n  1,\n");
    write(file("church.json"), vrxtool("export church_console.vrx").out);
    struct Case {
        std::string args;
        int status;
        std::string out;
        std::string err = "";
    };
    const Case cases[] = {
        {"show church_console.vrx", 0,
         "  #   Input Keyboard  Analog Input  Controller Type  Key Offset\n"
         "  1   IN1 (Swell)     #1            Expression (11)  0\n"},
        {"show church_console.vrx", 0,
         "  Analog Input: #6\n  MIDI Channel: 4\n\nTuning Configuration\n"
         "  Analog Input to be used as a tuning pot: #1\n"
         "  Enable the Temperature Sensor Input: Yes\n"},
        {"show church_console.vrx", 0,
         "  45   IN5   4    Ahlborn 202 Stop       2             3B - Chimes   [A]\n"},
        {"show church_console.vrx", 0, "  58   IN5   17   TQ-450 Cancel\n  105  IN5   64"},
        {"show --all church_console.vrx", 0,
         "  58   IN5   17   TQ-450 Cancel\n  59   IN5   18   Unassigned\n"},
        {"show --format csv church_console.vrx", 0,
         "45,IN5,4,Ahlborn 202 Stop,2,3B - Chimes   [A]\r\n"},
        {"show --format markdown church_console.vrx", 0,
         "| 45 | IN5 | 4 | Ahlborn 202 Stop | 2 | 3B - Chimes   [A] |\n"},
        {"show --format html church_console.vrx", 0,
         "<tr><td>45</td><td>IN5</td><td>4</td><td>Ahlborn 202 Stop</td>"},
        {"diff church_console.vrx church_console.vrx", 0, ""},
        {"diff church_console.vrx theatre_console.vrx", 1,
         "Channel 1 Input Keyboard: IN1 (Swell) \u2192 None\n"},
        {"diff --json church_console.vrx theatre_console.vrx", 1,
         "{\n    \"after\": \"None\",\n    \"before\": \"IN1 (Swell)\",\n"
         "    \"what\": \"Channel 1 Input Keyboard\"\n  }"},
        // Format 18, program byte 9, then the channel pairs: "#1" Expression with "#2" Volume
        // is 5C, "None" with "#3" Volume is 60. No byte is above 127, so the flag byte is 0.
        {"sysex church_console.vrx --program 1 --hex", 0,
         "f0 00 21 5e 00 04 01 08 00 00 00 00 00 4a 00 12 09 5c 60 00 00 00 "},
        {"sysex church_console.vrx --program 1 --hex -o hex.txt", 0, ""},
        {"sysex church_console.vrx --program 1 --hex --no-reboot -o updates.txt", 0, ""},
        {"sysex from_unit.vrx --program 3 --device 5 -o 3.syx", 0, ""},
        {"sysex from_unit.vrx --program 256 --device 127 -o 256.syx", 0, ""},
        {"export absent.vrx", 2, "",
         "vrxtool: absent.vrx: cannot read: No such file or directory\n"},
        {"show empty.vrx", 2, "",
         "vrxtool: empty.vrx: no data line: no line holds the 779 characters of a Program "
         "Data image\n"},
        {"diff church_console.vrx broken.vrx", 2, "",
         "vrxtool: broken.vrx: line 2: \"x1\" at character 31 is not a hex byte\n"},
        {"import broken.json -o out.vrx", 2, "",
         "vrxtool: broken.json: parse error at line 3, column 1: syntax error while parsing "
         "value - unexpected end of input; expected '[', '{', or a literal\n"},
        {"sysex church_console.vrx --program 1", 2, "",
         "vrxtool: sysex: give -o OUT.syx, or --hex to print the messages\n"},
        {"import church.json -o no/out.vrx", 1, "",
         "vrxtool: no/out.vrx: cannot write: No such file or directory\n"},
        {"", 2, ""},
        {"frobnicate", 2, ""},
        {"import church.json", 2, ""},
        {"diff church_console.vrx", 2, ""},
        {"show --format pdf church_console.vrx", 2, ""},
        {"sysex church_console.vrx --program 0 -o out.syx", 2, ""},
        {"sysex church_console.vrx --program 257 -o out.syx", 2, ""},
        {"sysex church_console.vrx --program 1 --device 128 -o out.syx", 2, ""},
        {"--help", 0, "unsysex"},
    };
    for (const auto& c : cases) {
        const auto run = vrxtool(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_EQ(run.out.empty(), c.out.empty()) << c.args << "\n" << run.out;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << c.out << "\n---\n" << run.out;
        // A usage error is said in the parser's words.
        EXPECT_EQ(run.err, c.status != 0 && c.err.empty() ? run.err : c.err) << c.args;
    }
    auto church = storing("church_console.vrx", 0, 0);
    EXPECT_EQ(read(file("hex.txt")), joined(church, true));
    church.pop_back();
    EXPECT_EQ(read(file("updates.txt")), joined(church, true));
    EXPECT_EQ(read(file("3.syx")), joined(storing("from_unit.vrx", 5, 2)));
    EXPECT_EQ(read(file("256.syx")), joined(storing("from_unit.vrx", 127, 255)));
    EXPECT_FALSE(std::filesystem::exists(file("out.vrx")) ||
                 std::filesystem::exists(file("out.syx")));
}

// Pins in any order and keys vrxtool does not know change nothing.
TEST_F(FileCommands, ImportOfExportIsWhatTheEditorWouldSave) {
    for (const std::string name : {"church_console.vrx", "theatre_console.vrx", "from_unit.vrx",
                                   "saved_after_unit.vrx", "hand_edited.vrx"}) {
        const auto exported = vrxtool("export " + name);
        auto doc = json::parse(exported.out);
        std::reverse(doc["pins"].begin(), doc["pins"].end());
        doc["comment"] = "chapel console";
        doc["channels"][0]["note"] = "swell";
        write(file("in.json"), doc.dump());
        const auto run = vrxtool("import in.json -o again.vrx");
        EXPECT_EQ(exported.err + run.out + run.err, "") << name;
        // As the editor saves before any unit has answered: format byte 18.
        const auto data = decodeProgramData(std::get<Bytes>(readConfigFile(file(name))));
        EXPECT_EQ(read(file("again.vrx")), configFileText(encodeProgramData(*data))) << name;
    }
}

// Export shows the fields as the file holds them: a note value above 127 is kept, "TQ-450
// Cancel" carries neither channel nor setting. Import refuses what an image cannot hold with
// exactly one line naming the member, and the earlier output stays.
TEST_F(FileCommands, ExportShowsTheFileAndImportRefusesWhatAnImageCannotHold) {
    const auto church = json::parse(vrxtool("export church_console.vrx").out);
    auto doc = church;
    doc["channels"] = {church["channels"][3]};
    doc["pins"] = {church["pins"][52], church["pins"][54], church["pins"][57]};
    EXPECT_EQ(doc, json::parse(R"JSON({
        "channels": [{"midiChannel": 4, "inputKeyboard": 4, "inputKeyboardName": "IN4 (Pedal)",
                      "analogInput": 3, "analogInputName": "#3", "controllerType": 0,
                      "controllerTypeName": "Volume (7)", "keyOffset": -12}],
        "archiveAnalogInput": 5, "archiveAnalogInputName": "#6", "archiveMidiChannel": 3,
        "tuningInput": 1, "tuningInputName": "#1",
        "tuningOptions": [true, false, true, false, false],
        "pins": [
            {"row": 53, "pinName": "IN5", "pinNum": 12, "pinFunction": 9, "pinMidiChannel": 6,
             "pinSubFunction": 19, "functionName": "Program Change",
             "settingName": "20 - Church Organ"},
            {"row": 55, "pinName": "IN5", "pinNum": 14, "pinFunction": 10, "pinMidiChannel": 7,
             "pinSubFunction": 200, "functionName": "Note On/Off", "settingName": ""},
            {"row": 58, "pinName": "IN5", "pinNum": 17, "pinFunction": 13, "pinMidiChannel": 0,
             "pinSubFunction": 0, "functionName": "TQ-450 Cancel", "settingName": ""}]})JSON"));
    const json removed = json::value_t::discarded;
    struct Case {
        std::string at;  // a JSON pointer
        json value;      // what replaces the member there, or `removed`
        std::string problem;
    };
    const Case cases[] = {
        {"/pins/41/pinSubFunction", 20,
         "pins[41].pinSubFunction: 20 is out of range 0..19 for \"Ahlborn ROMANTIC Stop\""},
        {"/pins/49/pinSubFunction", 4,
         "pins[49].pinSubFunction: 4 is out of range 0..3 for \"MIDI Stop\""},
        {"/pins/54/pinSubFunction", 256,
         "pins[54].pinSubFunction: 256 is out of range 0..255 for \"Note On/Off\""},
        {"/pins/52/pinSubFunction", 128,
         "pins[52].pinSubFunction: 128 is out of range 0..127 for \"Program Change\""},
        {"/pins/0/pinSubFunction", 65,
         "pins[0].pinSubFunction: 65 is out of range 0..64 for \"Common Ahlborn\""},
        {"/pins/2/pinSubFunction", 84,
         "pins[2].pinSubFunction: 84 is out of range 0..83 for \"TQ-450 Stop\""},
        {"/pins/57/pinSubFunction", 1,
         "pins[57].pinSubFunction: 1 is out of range 0..0 for \"TQ-450 Cancel\""},
        {"/pins/7/pinFunction", 14, "pins[7].pinFunction: 14 is out of range 0..13"},
        {"/pins/7/pinMidiChannel", 16, "pins[7].pinMidiChannel: 16 is out of range 0..15"},
        {"/pins/7/pinName", "IN2",
         "pins[7].pinName: \"IN2\" is not the slot of row 8, which is \"IN3\""},
        {"/pins/41/pinNum", 2, "pins[41].pinNum: 2 is not the pin of row 42, which is 1"},
        {"/pins/1", church["pins"][0], "pins[1].row: 1 is already given in pins[0]"},
        {"/pins/1/row", 0, "pins[1].row: 0 is out of range 1..105"},
        {"/pins/3", removed, "pins: holds 104 entries instead of 105"},
        {"/pins/9/pinSubFunction", removed, "pins[9].pinSubFunction: is missing"},
        {"/channels/2", church["channels"][5],
         "channels[2].midiChannel: 6 at position 3: channel entries must be in order 1 to 16"},
        {"/channels/2/midiChannel", 17, "channels[2].midiChannel: 17 is out of range 1..16"},
        {"/channels/2/keyOffset", 92, "channels[2].keyOffset: 92 is out of range -36..91"},
        {"/channels/2/keyOffset", -37, "channels[2].keyOffset: -37 is out of range -36..91"},
        {"/channels/2/inputKeyboard", 5, "channels[2].inputKeyboard: 5 is out of range 0..4"},
        {"/channels/2/analogInput", 5, "channels[2].analogInput: 5 is out of range 0..4"},
        {"/channels/2/controllerType", "1", "channels[2].controllerType: \"1\" is not an integer"},
        {"/channels", json::object(), "channels: expected an array, found object"},
        {"/tuningInput", 6, "tuningInput: 6 is out of range 0..5"},
        {"/archiveMidiChannel", 18446744073709551615u,
         "archiveMidiChannel: 18446744073709551615 is out of range 0..15"},
        {"/tuningOptions/4", 1, "tuningOptions[4]: 1 is not true or false"},
        {"", json::array(), "(top level): expected an object, found array"},
    };
    write(file("out.vrx"), "earlier file");
    for (const auto& c : cases) {
        const json change = {{"op", c.value.is_discarded() ? "remove" : "replace"},
                             {"path", c.at},
                             {"value", c.value}};
        write(file("in.json"), church.patch(json::array({change})).dump());
        const auto run = vrxtool("import in.json -o out.vrx");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out + run.err, "vrxtool: in.json: " + c.problem + "\n");
    }
    EXPECT_EQ(read(file("out.vrx")), "earlier file");
}

// A captured dump gives the image a load would: the unit's 256 bytes, then four zeros, with a
// line for each message or byte skipped. One that cannot give it is refused, naming the byte
// or the message, and nothing is written.
TEST_F(FileCommands, UnsysexRebuildsTheImageALoadWouldTakeOrSaysWhyNot) {
    const auto image = imageOf("theatre_console.vrx");
    const auto updates = programUpdateMessages(0, 4, image);
    auto longer = image;
    longer.resize(300, 0x55);
    auto noisy = programResponse(0, ByteView(image).first(128));
    noisy.insert(noisy.begin() + 20, 0xF8);  // file byte 21 of the response at byte 90
    // A stray F7 among the packed data ends the message there.
    auto strayEnd = noisy;
    strayEnd[15] = 0xF7;
    auto badLength = updates[1];
    badLength[13] = 0x40;
    const std::string skipped = "note: skipped message ";
    struct Case {
        std::vector<Bytes> dump;
        Bytes loaded;  // empty: refused
        std::string err;
    };
    std::vector<Case> cases = {
        {{updates[2], vrxReboot(0), updates[0], updates[3], updates[1]}, image, ""},
        // Nothing after the 256 bytes belongs to the load.
        {{programResponse(0, longer), vrxReboot(0)}, longer, ""},
        // On a MIDI loop the updates come back beside the responses, with real-time bytes.
        {{updates[0], noisy, programResponse(0, ByteView(image).subspan(128))},
         image,
         skipped + "1 (byte 1), which is not a PROGRAM_RESPONSE\nvrxtool: dump.syx: warning: "
                   "skipped the stray byte 0xf8 at byte 110 in message 2 (byte 90)"},
        {{tagMessage(), vrxReboot(0)}, {}, "holds no PROGRAM_RESPONSE or PROGRAM_UPDATE message"},
        {{programResponse(0, ByteView(image).first(200))},
         {},
         "the PROGRAM_RESPONSE messages hold 200 of the 256 bytes of a program"},
        {{updates[0], updates[1], updates[3]},
         {},
         "the PROGRAM_UPDATE messages hold 192 of the 256 bytes of a program; the first "
         "missing is byte 129"},
        {{updates[0], programUpdateMessages(0, 1, image)[1]},
         {},
         "message 2 (byte 90): the PROGRAM_UPDATE is for program 2, but message 1 was for "
         "program 5"},
        {{updates[0], badLength},
         {},
         "message 2 (byte 90): the PROGRAM_UPDATE is broken (its length byte or packed data "
         "do not fit)"},
        {{tagMessage(), {0xF0, 0x7E, 0xF0, 0xF7}},
         {},
         "byte 12: 0xf0 inside the SysEx message of byte 10"},
        {{{0xF0, 0x7E, 0x00, 0x06, 0x01}},
         {},
         "byte 1: the SysEx message that starts here has no F7"},
        {{tagMessage(), {0x90, 0x40, 0x7F}}, {}, "byte 10: 0x90 lies outside a SysEx message"},
        {{strayEnd}, {}, "byte 17: 0x07 lies outside a SysEx message"},
    };
    // Responses split any way.
    for (std::size_t parts : {1u, 2u, 4u, 8u}) {
        Case split{{tagMessage(), identityRequest()},
                   image,
                   skipped + "1 (byte 1), which is not a PROGRAM_RESPONSE\nvrxtool: dump.syx: " +
                       skipped + "2 (byte 10), which is not a PROGRAM_RESPONSE"};
        for (std::size_t p = 0; p < parts; ++p) {
            split.dump.push_back(
                programResponse(static_cast<std::uint8_t>(p),
                                ByteView(image).subspan(p * 256 / parts, 256 / parts)));
        }
        split.dump.push_back(programResponse(0, Bytes(64, 0x00)));
        cases.push_back(split);
    }
    for (const auto& c : cases) {
        write(file("dump.syx"), joined(c.dump));
        const auto run = vrxtool("unsysex dump.syx -o out.vrx");
        EXPECT_EQ(run.status, c.loaded.empty() ? 2 : 0);
        EXPECT_EQ(run.out + run.err, c.err.empty() ? "" : "vrxtool: dump.syx: " + c.err + "\n");
        Bytes loaded(c.loaded.begin(),
                     c.loaded.begin() + std::min<std::size_t>(c.loaded.size(), 256));
        loaded.resize(260, 0);
        EXPECT_EQ(read(file("out.vrx")), c.loaded.empty() ? "" : configFileText(loaded));
        std::filesystem::remove(file("out.vrx"));
    }
}

// An installed vrxtool in <prefix>/bin finds the instrument names in <prefix>/share/vrxconfig
// when none lie beside it, as the editor does; a file beside it comes first.
TEST_F(FileCommands, InstrumentNamesComeFromBesideTheProgramElseTheInstalledDataFolder) {
    std::filesystem::create_directories(file("prefix/bin"));
    std::filesystem::create_directories(file("prefix/share/vrxconfig"));
    std::filesystem::copy_file(VRX_BIN_DIR "/vrxtool", file("prefix/bin/vrxtool"));
    std::string installed;
    std::string beside;
    for (int n = 1; n <= 128; ++n) {
        installed += "Installed " + std::to_string(n) + "\n";
        beside += "Beside " + std::to_string(n) + "\n";
    }
    write(file("prefix/share/vrxconfig/genmidi.txt"), installed);
    EXPECT_NE(shell("prefix/bin/vrxtool show church_console.vrx").out.find("20 - Installed 20"),
              std::string::npos);
    write(file("prefix/bin/genmidi.txt"), beside);
    EXPECT_NE(shell("prefix/bin/vrxtool show church_console.vrx").out.find("20 - Beside 20"),
              std::string::npos);
}

}  // namespace
}  // namespace vrx::cli
