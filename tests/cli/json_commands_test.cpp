#include <nlohmann/json.hpp>

#include <functional>

#include "cli/vrxtool_runner.h"
#include "files/atomic_file.h"
#include "files/config_file.h"
#include "model/program_image.h"

namespace vrx::cli {
namespace {

using nlohmann::json;

const char* const kFixtures[] = {"church_console.vrx", "theatre_console.vrx", "from_unit.vrx",
                                 "saved_after_unit.vrx", "hand_edited.vrx"};

Bytes imageOf(const std::filesystem::path& path) {
    return std::get<Bytes>(readConfigFile(path));
}

// What the editor would write after opening the file and saving it at once.
std::string savedByTheEditor(const std::filesystem::path& path) {
    return configFileText(encodeProgramData(*decodeProgramData(imageOf(path))));
}

class JsonCommands : public VrxtoolTest {
protected:
    json exported(const std::string& fixtureName) {
        const auto run = vrxtool({"export", fixture(fixtureName).string()});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        return json::parse(run.out);
    }
    json church() { return exported("church_console.vrx"); }

    // Imports `document` and expects it refused with exactly this line on stderr.
    void expectRefused(const json& document, const std::string& problem) {
        write(file("in.json"), document.dump());
        write(file("out.vrx"), "earlier file");
        const auto run = vrxtool({"import", "in.json", "-o", "out.vrx"});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "vrxtool: in.json: " + problem + "\n");
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(read(file("out.vrx")), "earlier file");
    }
};

TEST_F(JsonCommands, ImportOfExportIsWhatTheEditorWouldSave) {
    for (const char* name : kFixtures) {
        SCOPED_TRACE(name);
        const auto run = vrxtool({"export", fixture(name).string()});
        ASSERT_EQ(run.status, 0) << run.err;
        write(file("config.json"), run.out);
        const auto imported = vrxtool({"import", "config.json", "-o", "again.vrx"});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out, "");
        const auto bytes = read(file("again.vrx"));
        EXPECT_EQ(bytes, savedByTheEditor(fixture(name)));
        EXPECT_EQ(bytes.size(), kConfigFileBytes);
        EXPECT_EQ(bytes.substr(0, 3), "12 ");  // as saved before any unit answered
    }
}

TEST_F(JsonCommands, ExportShowsTheFieldsAsTheFileHoldsThem) {
    const auto doc = church();
    ASSERT_EQ(doc["channels"].size(), 16u);
    EXPECT_EQ(doc["channels"][3], (json{{"midiChannel", 4},
                                        {"inputKeyboard", 4},
                                        {"inputKeyboardName", "IN4 (Pedal)"},
                                        {"analogInput", 3},
                                        {"analogInputName", "#3"},
                                        {"controllerType", 0},
                                        {"controllerTypeName", "Volume (7)"},
                                        {"keyOffset", -12}}));
    EXPECT_EQ(doc["archiveAnalogInput"], 5);
    EXPECT_EQ(doc["archiveAnalogInputName"], "#6");
    EXPECT_EQ(doc["archiveMidiChannel"], 3);
    EXPECT_EQ(doc["tuningInput"], 1);
    EXPECT_EQ(doc["tuningOptions"], (json{true, false, true, false, false}));
    ASSERT_EQ(doc["pins"].size(), 105u);
    EXPECT_EQ(doc["pins"][41], (json{{"row", 42},
                                     {"pinName", "IN5"},
                                     {"pinNum", 1},
                                     {"pinFunction", 1},
                                     {"pinMidiChannel", 0},
                                     {"pinSubFunction", 0},
                                     {"functionName", "Ahlborn ROMANTIC Stop"},
                                     {"settingName", "00 - Contre Gamba 16' [P]"}}));
    EXPECT_EQ(doc["pins"][52]["settingName"], "20 - Church Organ");
    EXPECT_EQ(doc["pins"][54]["pinSubFunction"], 200);  // a note value above 127 is kept
    // "TQ-450 Cancel" and "Unassigned" carry neither channel nor setting.
    EXPECT_EQ(doc["pins"][57]["pinFunction"], 13);
    EXPECT_EQ(doc["pins"][57]["pinMidiChannel"], 0);
    EXPECT_EQ(doc["pins"][104]["pinSubFunction"], 127);
}

TEST_F(JsonCommands, ImportTakesPinsInAnyOrderAndIgnoresUnknownKeys) {
    auto doc = church();
    std::reverse(doc["pins"].begin(), doc["pins"].end());
    doc["comment"] = "chapel console";
    doc["channels"][0]["note"] = "swell";
    write(file("in.json"), doc.dump());
    const auto run = vrxtool({"import", "in.json", "-o", "out.vrx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(read(file("out.vrx")), savedByTheEditor(fixture("church_console.vrx")));
}

TEST_F(JsonCommands, ImportRefusesWhatAnImageCannotHold) {
    struct Case {
        std::function<void(json&)> change;
        std::string problem;
    };
    const Case cases[] = {
        {[](json& d) {
             d["pins"][4]["pinFunction"] = 1;
             d["pins"][4]["pinSubFunction"] = 25;
         },
         "pins[4].pinSubFunction: 25 is out of range 0..19 for \"Ahlborn ROMANTIC Stop\""},
        {[](json& d) { d["pins"][49]["pinSubFunction"] = 4; },
         "pins[49].pinSubFunction: 4 is out of range 0..3 for \"MIDI Stop\""},
        {[](json& d) { d["pins"][54]["pinSubFunction"] = 256; },
         "pins[54].pinSubFunction: 256 is out of range 0..255 for \"Note On/Off\""},
        {[](json& d) { d["pins"][52]["pinSubFunction"] = 128; },
         "pins[52].pinSubFunction: 128 is out of range 0..127 for \"Program Change\""},
        {[](json& d) { d["pins"][0]["pinSubFunction"] = 65; },
         "pins[0].pinSubFunction: 65 is out of range 0..64 for \"Common Ahlborn\""},
        {[](json& d) { d["pins"][2]["pinSubFunction"] = 84; },
         "pins[2].pinSubFunction: 84 is out of range 0..83 for \"TQ-450 Stop\""},
        {[](json& d) { d["pins"][57]["pinSubFunction"] = 1; },
         "pins[57].pinSubFunction: 1 is out of range 0..0 for \"TQ-450 Cancel\""},
        {[](json& d) { d["pins"][7]["pinFunction"] = 14; },
         "pins[7].pinFunction: 14 is out of range 0..13"},
        {[](json& d) { d["pins"][7]["pinMidiChannel"] = 16; },
         "pins[7].pinMidiChannel: 16 is out of range 0..15"},
        {[](json& d) { d["pins"][7]["pinMidiChannel"] = -1; },
         "pins[7].pinMidiChannel: -1 is out of range 0..15"},
        {[](json& d) { d["pins"][7]["pinName"] = "IN2"; },
         "pins[7].pinName: \"IN2\" is not the slot of row 8, which is \"IN3\""},
        {[](json& d) { d["pins"][41]["pinNum"] = 2; },
         "pins[41].pinNum: 2 is not the pin of row 42, which is 1"},
        {[](json& d) { d["pins"][1] = d["pins"][0]; },
         "pins[1].row: 1 is already given in pins[0]"},
        {[](json& d) { d["pins"][1]["row"] = 0; }, "pins[1].row: 0 is out of range 1..105"},
        {[](json& d) { d["pins"].erase(3); }, "pins: holds 104 entries instead of 105"},
        {[](json& d) { d["pins"][9].erase("pinSubFunction"); },
         "pins[9].pinSubFunction: is missing"},
        {[](json& d) { d["pins"][9] = 3; }, "pins[9]: expected an object, found number"},
        {[](json& d) { std::swap(d["channels"][2], d["channels"][5]); },
         "channels[2].midiChannel: 6 at position 3: channel entries must be in order 1 to 16"},
        {[](json& d) { d["channels"][2]["midiChannel"] = 17; },
         "channels[2].midiChannel: 17 is out of range 1..16"},
        {[](json& d) { d["channels"][2]["keyOffset"] = 92; },
         "channels[2].keyOffset: 92 is out of range -36..91"},
        {[](json& d) { d["channels"][2]["keyOffset"] = -37; },
         "channels[2].keyOffset: -37 is out of range -36..91"},
        {[](json& d) { d["channels"][2]["inputKeyboard"] = 5; },
         "channels[2].inputKeyboard: 5 is out of range 0..4"},
        {[](json& d) { d["channels"][2]["analogInput"] = 1.5; },
         "channels[2].analogInput: 1.5 is not an integer"},
        {[](json& d) { d["channels"][2]["controllerType"] = "1"; },
         "channels[2].controllerType: \"1\" is not an integer"},
        {[](json& d) { d["channels"] = json::object(); },
         "channels: expected an array, found object"},
        {[](json& d) { d["tuningInput"] = 6; }, "tuningInput: 6 is out of range 0..5"},
        {[](json& d) { d["archiveMidiChannel"] = 18446744073709551615u; },
         "archiveMidiChannel: 18446744073709551615 is out of range 0..15"},
        {[](json& d) { d["tuningOptions"][4] = 1; }, "tuningOptions[4]: 1 is not true or false"},
        {[](json& d) { d.erase("archiveAnalogInput"); }, "archiveAnalogInput: is missing"},
        {[](json& d) { d = json::array(); }, "(top level): expected an object, found array"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        auto doc = church();
        c.change(doc);
        expectRefused(doc, c.problem);
    }
}

TEST_F(JsonCommands, BrokenJsonNamesLineAndColumn) {
    write(file("in.json"), "{\"channels\": [\n  1,\n");
    const auto run = vrxtool({"import", "in.json", "-o", "out.vrx"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("vrxtool: in.json: parse error at line 3, column 1", 0), 0u) << run.err;
    EXPECT_FALSE(std::filesystem::exists(file("out.vrx")));
}

TEST_F(JsonCommands, BadConfigurationFilesAreNamedWithThePlace) {
    write(file("empty.vrx"), "");
    auto broken = read(fixture("church_console.vrx"));
    broken.replace(30, 2, "x1");
    write(file("broken.vrx"), "note\r\n" + broken);
    struct Case {
        std::string input;
        std::string message;
    };
    const Case cases[] = {
        {"absent.vrx", "vrxtool: absent.vrx: cannot read: No such file or directory\n"},
        {"empty.vrx",
         "vrxtool: empty.vrx: no data line: no line holds the 779 characters of a Program Data "
         "image\n"},
        {"broken.vrx", "vrxtool: broken.vrx: line 2: \"x1\" at character 31 is not a hex byte\n"},
    };
    for (const auto& c : cases) {
        for (const auto& command : {"export", "show"}) {
            SCOPED_TRACE(std::string(command) + " " + c.input);
            const auto run = vrxtool({command, c.input});
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.err, c.message);
            EXPECT_EQ(run.out, "");
        }
    }
}

TEST_F(JsonCommands, FailedWriteExitsOneAndKeepsTheEarlierFile) {
    write(file("config.json"), vrxtool({"export", fixture("church_console.vrx").string()}).out);
    std::filesystem::create_directories(file("taken.vrx/inside"));
    const auto run = vrxtool({"import", "config.json", "-o", "taken.vrx"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("vrxtool: taken.vrx: cannot write: ", 0), 0u) << run.err;
    EXPECT_TRUE(std::filesystem::is_directory(file("taken.vrx/inside")));

    const auto missing = vrxtool({"import", "config.json", "-o", "no/such/folder.vrx"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "vrxtool: no/such/folder.vrx: cannot write: No such file or directory\n");
}

TEST_F(JsonCommands, ShowListsChannelsSettingsAndAssignedPins) {
    const auto run = vrxtool({"show", fixture("church_console.vrx").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto& out = run.out;
    for (const char* line : {
             "  #   Input Keyboard  Analog Input  Controller Type  Key Offset\n",
             "  1   IN1 (Swell)     #1            Expression (11)  0\n",
             "  4   IN4 (Pedal)     #3            Volume (7)       -12\n",
             "  16  None            None          Volume (7)       -36\n",
             "  Analog Input: #6\n  MIDI Channel: 4\n",
             "  Analog Input to be used as a tuning pot: #1\n",
             "  Enable the Temperature Sensor Input: Yes\n",
             "  Enable the analog output for tuning Ahlborn Archive modules: No\n",
             "Pin Configuration: 22 of 105 pins assigned\n",
             "  45   IN5   4    Ahlborn 202 Stop       2             3B - Chimes   [A]\n",
             "  50   IN5   9    MIDI Stop              10            IN2 (Great)\n",
             "  58   IN5   17   TQ-450 Cancel\n",
         }) {
        EXPECT_NE(out.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(out.find("Unassigned"), std::string::npos);

    const auto all = vrxtool({"show", "--all", fixture("church_console.vrx").string()});
    ASSERT_EQ(all.status, 0);
    EXPECT_EQ(
        std::count(all.out.begin(), all.out.end(), '\n') - std::count(out.begin(), out.end(), '\n'),
        105 - 22);
    EXPECT_NE(all.out.find("  104  IN5   63   Unassigned\n"), std::string::npos);
}

TEST_F(JsonCommands, UsageErrorsAreBadInput) {
    EXPECT_EQ(vrxtool({}).status, 2);
    EXPECT_EQ(vrxtool({"export"}).status, 2);
    EXPECT_EQ(vrxtool({"import", "x.json"}).status, 2);
    EXPECT_EQ(vrxtool({"frobnicate"}).status, 2);
    const auto help = vrxtool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("unsysex"), std::string::npos);
}

}  // namespace
}  // namespace vrx::cli

namespace vrx::cli {
namespace {

using InstrumentFile = VrxtoolTest;

// An installed vrxtool in <prefix>/bin finds the names in <prefix>/share/vrxconfig
// when none lie beside it, as the editor does; one beside it comes first.
TEST_F(InstrumentFile, ComesFromBesideTheProgramElseTheInstalledDataFolder) {
    const auto bin = file("prefix/bin");
    const auto share = file("prefix/share/vrxconfig");
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(share);
    std::filesystem::copy_file(VRX_BIN_DIR "/vrxtool", bin / "vrxtool");
    std::string installed;
    std::string beside;
    for (int n = 1; n <= 128; ++n) {
        installed += "Installed " + std::to_string(n) + "\n";
        beside += "Beside " + std::to_string(n) + "\n";
    }
    write(share / "genmidi.txt", installed);
    const auto show = [&] {
        const std::string command = "'" + (bin / "vrxtool").string() + "' show '" +
                                    fixture("church_console.vrx").string() + "' > '" +
                                    file("out.txt").string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return read(file("out.txt"));
    };
    EXPECT_NE(show().find("20 - Installed 20"), std::string::npos);
    write(bin / "genmidi.txt", beside);
    EXPECT_NE(show().find("20 - Beside 20"), std::string::npos);
}

}  // namespace
}  // namespace vrx::cli
