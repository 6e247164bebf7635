// The MIDI backend through real ports: vrxtool talks through RtMidi and a JACK server to
// `vrxtool simulate` in a process of its own, as it would to a unit on a cable. Run by
// scripts/with-jack, which starts the server; these tests use the real clock, briefly.
#include <signal.h>

#include <algorithm>
#include <regex>
#include <thread>

#include "cli/vrxtool_runner.h"
#include "ports/rtmidi_ports.h"

namespace vrx::cli {
namespace {

class JackPorts : public VrxtoolTest {
protected:
    void SetUp() override {
        VrxtoolTest::SetUp();
        ASSERT_NE(std::getenv("JACK_DEFAULT_SERVER"), nullptr)
            << "run through scripts/with-jack, which starts a JACK server";
    }
    void TearDown() override {
        stopUnit();
        VrxtoolTest::TearDown();
    }

    // Starts `vrxtool simulate` with a trace of its messages in sim.err, and finds its
    // ports in vrxtool's numbering.
    void startUnit(const std::string& args = "") {
        shell("\"$vrxtool\" simulate --midi-api jack --trace " + args +
              " >sim.out 2>sim.err & echo $! >sim.pid");
        unitPid_ = std::stoi(read(file("sim.pid")));
        const std::regex ready(R"re(listens on "([^"]+)" and answers on "([^"]+)")re");
        std::smatch names;
        for (int i = 0; i < 500; ++i) {
            const auto said = read(file("sim.out"));
            if (std::regex_search(said, names, ready)) {
                const auto listed = vrxtool("ports --midi-api jack").out;
                devices_ = "--midi-api jack --in " + position(listed, "MIDI In", names[2]) +
                           " --out " + position(listed, "MIDI Out", names[1]);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        FAIL() << "vrxtool simulate did not start:\n" << read(file("sim.err"));
    }

    void stopUnit() {
        if (unitPid_ > 0) {
            kill(unitPid_, SIGTERM);
            // Its ports go with it, before the next test lists the devices.
            for (int i = 0; i < 500 && kill(unitPid_, 0) == 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            unitPid_ = 0;
        }
    }

    // The number `vrxtool ports` gives the device in one section of its list.
    static std::string position(const std::string& listed, const std::string& section,
                                const std::string& name) {
        const auto from = listed.find(section + ":\n");
        const auto at = listed.find(": " + name + "\n", from);
        EXPECT_NE(at, std::string::npos) << name << " not in\n" << listed;
        const auto hash = listed.rfind('#', at);
        return listed.substr(hash + 1, at - hash - 1);
    }

    // When the unit heard each message whose name starts so, in ms on its clock.
    std::vector<long> heardAt(const std::string& name) const {
        const std::regex line(R"(^\s*(\d+) ms\s+out\s+\d+\s+)" + name);
        std::vector<long> times;
        std::istringstream trace(read(file("sim.err")));
        std::smatch match;
        for (std::string text; std::getline(trace, text);) {
            if (std::regex_search(text, match, line)) {
                times.push_back(std::stol(match[1]));
            }
        }
        return times;
    }

    std::string devices_;  // --midi-api, --in and --out of the simulated unit
    int unitPid_ = 0;
};

// read, write with verify, backup and restore print the same and leave the same files
// and unit contents as through the in-process simulator, and the writes are paced on
// the real clock.
TEST_F(JackPorts, EveryDeviceCommandGivesWhatItGivesWithTheSimulator) {
    ASSERT_EQ(vrxtool("read --simulator --program 7 -o p7.vrx").status, 0);
    ASSERT_EQ(vrxtool("read --simulator --program 9 -o p9.vrx").status, 0);
    for (const std::string side : {"jack", "sim"}) {
        std::filesystem::create_directories(file(side + "/from"));
        std::filesystem::copy_file(file("p9.vrx"), file(side + "/from/program-005.vrx"));
    }
    startUnit("--simulator-memory jack/memory");
    const std::string steps[] = {
        "read --program 3 -o 3.vrx",
        "write ../p7.vrx --program 2",
        "read --program 2 -o 2.vrx",
        "backup all",
        "restore from",
        "read --program 5 -o 5.vrx",
    };
    for (const auto& step : steps) {
        const auto jack = shell("cd jack && \"$vrxtool\" " + step + " " + devices_);
        const auto simulated =
            shell("cd sim && \"$vrxtool\" " + step + " --simulator --simulator-memory memory");
        EXPECT_EQ(jack.status, 0) << step << "\n" << jack.err;
        EXPECT_EQ(jack.status, simulated.status) << step;
        EXPECT_EQ(jack.out, simulated.out) << step;
        const auto lastLine = [](const std::string& err) {
            return err.substr(err.rfind('\n', err.size() - 2) + 1);
        };
        EXPECT_EQ(lastLine(jack.err), lastLine(simulated.err)) << step;
    }
    // The files written, and the unit's memory.
    std::vector<std::string> names = {"3.vrx", "2.vrx", "5.vrx"};
    for (int p = 1; p <= 16; ++p) {
        const auto name = "program-0" + std::string(p < 10 ? "0" : "") + std::to_string(p) + ".vrx";
        names.push_back("all/" + name);
        names.push_back("memory/" + name);
    }
    for (const auto& name : names) {
        EXPECT_EQ(read(file("jack/" + name)), read(file("sim/" + name))) << name;
    }
    EXPECT_EQ(read(file("jack/2.vrx")), read(file("p7.vrx")));
    EXPECT_EQ(read(file("jack/5.vrx")), read(file("p9.vrx")));
    // Each block of the two writes, and the restart after it, 600 to 650 ms after the one
    // before as the unit hears them. A machine busy with other work (a parallel test run)
    // wakes the unit's side of the port late now and then: its clock then reads a few ms
    // short of what was paced, or a message held back longer. The unit itself drops only
    // what comes within 550 ms.
    const auto writes = heardAt("PROGRAM_UPDATE");
    const auto reboots = heardAt("VRX_REBOOT");
    ASSERT_EQ(writes.size(), 8u);
    std::vector<long> gaps;
    for (std::size_t block = 1; block < writes.size(); ++block) {
        const bool nextWrite = block % 4 == 0;
        gaps.push_back(nextWrite ? 0 : writes[block] - writes[block - 1]);
    }
    for (const std::size_t last : {3u, 7u}) {
        const auto reboot = std::ranges::find_if(reboots, [&](long t) { return t > writes[last]; });
        ASSERT_NE(reboot, reboots.end());
        gaps.push_back(*reboot - writes[last]);
    }
    std::erase(gaps, 0);
    std::ranges::sort(gaps);
    ASSERT_EQ(gaps.size(), 8u);
    EXPECT_GE(gaps.front(), 590);
    EXPECT_GE(gaps[gaps.size() / 2], 600);
    EXPECT_LE(gaps[gaps.size() / 2], 650);
    EXPECT_LE(gaps.back(), 1000);
    // A PROGRAM_RESPONSE, the largest message, passed whole.
    EXPECT_NE(read(file("sim.err")).find(" 305  PROGRAM_RESPONSE 1, 256 bytes"), std::string::npos);
}

// Noise on the line and a late answer reach the program through the real port, and it
// copes as it does with the in-process simulator.
TEST_F(JackPorts, FaultsOfTheUnitPassThroughTheRealPort) {
    startUnit(
        "--name 'Organ Bench' --simulator-fault line-noise --simulator-fault "
        "late-answer=2:1500");
    ASSERT_EQ(vrxtool("read --simulator --program 4 -o sim4.vrx").status, 0);
    const auto run = vrxtool("read --program 4 -o jack4.vrx " + devices_);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(read(file("jack4.vrx")), read(file("sim4.vrx")));
    // The connection check finds the noise harmless, and names the unit's ports.
    const auto check = vrxtool("check --rounds 3 " + devices_);
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_TRUE(check.out.ends_with("The connection is good: every answer came whole, once.\n"))
        << check.out;
    EXPECT_NE(check.out.find("(Organ Bench-01:Organ Bench) and MIDI Out #"), std::string::npos)
        << check.out;
}

// A unit that vanishes during a write (its process killed, so its ports go) ends the
// write with the line of a pulled cable, never "Done.".
TEST_F(JackPorts, AUnitGoneDuringAWriteEndsItWithTheCablePulledLine) {
    startUnit();
    ASSERT_EQ(vrxtool("read --simulator --program 9 -o p9.vrx").status, 0);
    const auto run = shell("\"$vrxtool\" write p9.vrx --program 5 " + devices_ +
                           " & w=$!; until grep -q PROGRAM_UPDATE sim.err; do sleep 0.02; done; "
                           "kill $(cat sim.pid); wait $w");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err.find("Done."), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("messages went out. The program in the VRX may be incomplete: write "
                           "it again."),
              std::string::npos)
        << run.err;
    EXPECT_LT(run.seconds, 15);
}

// The RtMidi backend on JACK names a device it cannot open as MIDI I/O Setup numbers
// it, and says what the user can do.
TEST_F(JackPorts, ADeviceThatIsNotThereIsNamedByItsNumberInTheList) {
    RtMidiInput input([] {}, MidiApi::kJack);
    RtMidiOutput output(MidiApi::kJack);
    const std::string gone =
        " is no longer there: it was unplugged or switched off. Plug it in "
        "again, or choose another device in MIDI I/O Setup.";
    struct Case {
        int device;
        std::string inputText;
        std::string outputText;
    };
    const Case cases[] = {
        {3, "MIDI In #4" + gone, "MIDI Out #5" + gone},
        {0, "MIDI In #1" + gone, "MIDI Out #2" + gone},
    };
    for (const auto& c : cases) {
        input.selectDevice(c.device);
        output.selectDevice(c.device);
        const auto in = input.open();
        const auto out = output.open();
        EXPECT_EQ(in ? std::string() : in.error(), c.inputText);
        EXPECT_EQ(out ? std::string() : out.error(), c.outputText);
    }
}

}  // namespace
}  // namespace vrx::cli
