#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>

#include "link/device_link.h"
#include "link/traffic_names.h"
#include "model/program_image.h"
#include "ports/simulated_ports.h"

namespace vrx::testing {

// A program as the unit stores it, told apart by `seed`; and as the editor hands it
// over for a write, with the image's trailing bytes.
inline Bytes plausibleProgram(int seed) {
    auto data = plausibleProgramData(seed, kFormatByteDefault);
    data.resize(kProgramBytes);
    return data;
}
inline Bytes plausibleImage(int seed) {
    auto image = plausibleProgramData(seed, kFormatByteDefault);
    image.resize(kImageBytes, 0);
    return image;
}

// Keeps what the link shows and answers its dialogs from a script.
class RecordingView : public LinkView {
public:
    void setStatusText(std::string text) override { statusText = std::move(text); }
    void appendStatusText(std::string_view text) override { statusText += text; }
    void setStatusCaption(std::string caption) override { statusCaption = std::move(caption); }
    void centreStatus() override {}
    void showStatus() override { statusShown = true; }
    void hideStatus() override { statusShown = false; }
    bool statusVisible() const override { return statusShown; }
    void closeStatus() override {
        statusShown = false;
        statusText.clear();
    }

    // Answers: a number presses OK with it, -1 presses Cancel, 0 closes the dialog; the
    // MIDI setup chooses the unit's ports unless told to cancel.
    int askProgramNumber(std::string_view title, ProgramPrompt& prompt) override {
        promptTitles.emplace_back(title);
        int answer = 1;
        if (!promptAnswers.empty()) {
            answer = promptAnswers.front();
            promptAnswers.pop_front();
        }
        runModal();
        if (answer < 0) {
            prompt.pressCancel();
        } else if (answer > 0) {
            prompt.numberTextChanged(std::to_string(answer));
            prompt.pressOk();
        }
        return prompt.result();
    }
    void showMidiSetup(MidiSetup& setup) override {
        ++midiSetupShown;
        runModal();
        setup.midiSetupCancelled = cancelMidiSetup;
        chooseTheUnit(setup, !cancelMidiSetup);
    }
    // Input 1 is the unit's; its output comes after the default one.
    static void chooseTheUnit(MidiSetup& setup, bool chosen) {
        if (chosen) {
            setup.portInDevice = 1;
            setup.portOutDevice = 2;
            setup.midiConfigured = true;
        }
    }
    void showMessage(std::string text) override {
        messages.push_back(std::move(text));
        runModal();
    }

    void showPinGrid() override { gridShown = true; }
    void setTabScopeVisible(bool visible) override { tabScopeVisible = visible; }
    void setWindowTitle(std::string title) override { windowTitle = std::move(title); }
    void enableAllCommands() override { ++commandsEnabled; }
    void checkMidiStopChannels() override { ++midiStopChecks; }

    void decodeIntoEditor(ByteView data) override {
        decoded.emplace_back(data.begin(), data.end());
    }
    Bytes currentImage(std::uint8_t firmwareVersionByte) override {
        imageFormatBytes.push_back(firmwareVersionByte);
        return imageToWrite;
    }
    void programRead(int number, ByteView data) override {
        programsRead[number] = Bytes(data.begin(), data.end());
    }
    void writeLog(std::string_view line) override { logLines.emplace_back(line); }

    // Runs inside every modal dialog, as the nested event loop of a real one would.
    std::function<void()> whileModal;

    std::string statusText;
    std::string statusCaption;
    bool statusShown = false;
    std::deque<int> promptAnswers;
    std::vector<std::string> promptTitles;
    int midiSetupShown = 0;
    bool cancelMidiSetup = false;
    std::vector<std::string> messages;
    bool gridShown = false;
    bool tabScopeVisible = false;
    std::string windowTitle;
    int commandsEnabled = 0;
    int midiStopChecks = 0;
    std::vector<Bytes> decoded;
    Bytes imageToWrite = newProgramDataImage();
    std::vector<std::uint8_t> imageFormatBytes;
    std::map<int, Bytes> programsRead;
    std::vector<std::string> logLines;

private:
    void runModal() {
        if (whileModal) {
            whileModal();
        }
    }
};

// A link wired to a simulated unit, in virtual time: the timer ticks every 100 ms and
// the unit's answers are delivered at the moment their last byte arrives.
template <class View>
class LinkBenchWith {
public:
    explicit LinkBenchWith(SimulatedUnitSettings settings = {}, bool configured = true)
        : unit(clock, settings) {
        RecordingView::chooseTheUnit(link.midiSetup(), configured);
    }

    // Delivers what arrives before the next tick, then ticks.
    void tick() {
        while (const auto arrival = unit.nextArrivalMs()) {
            if (*arrival > nextTickMs) {
                break;
            }
            clock.advanceTo(*arrival);
            link.dispatchMidiEvents();
        }
        clock.advanceTo(nextTickMs);
        link.mainTimerTick();
        noteChanges();
        nextTickMs += DeviceLink::kTickMs;
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            tick();
        }
    }
    // Ticks until `done` holds; false when it did not within `maxTicks`.
    bool tickUntil(const std::function<bool()>& done, int maxTicks = 1000) {
        bool finished = done();
        for (int i = 0; i < maxTicks && !finished; ++i) {
            tick();
            finished = done();
        }
        return finished;
    }

    // The operation has shown its result and nothing of a write is left to go out.
    bool operationOver() {
        return link.commState() == kStateResultShown && !link.writeInProgress() &&
               link.outputQueue().midiOutQueue().empty();
    }

    // Messages the unit received with the given command bytes (positions 6 to 8).
    std::vector<Bytes> receivedWithCommand(const Bytes& command) const {
        std::vector<Bytes> found;
        std::ranges::copy_if(unit.received(), std::back_inserter(found), [&](const Bytes& m) {
            return isManufacturerMessage(m) && m.size() >= 8 &&
                   std::equal(command.begin(), command.end(), m.begin() + 5);
        });
        return found;
    }

    VirtualClock clock;
    SimulatedUnit unit;
    SimulatedInput input{unit};
    SimulatedOutput output{unit};
    View view;
    DeviceLink link{input, output, view, clock};
    std::int64_t nextTickMs = DeviceLink::kTickMs;
    // What each tick changed, as "ms what": a prompt opening, the status text ("+" what
    // was added, "=" a new text), the status window shown or hidden, each message the
    // unit received, the commands given back.
    std::vector<std::string> journal;

private:
    void noteChanges() {
        const std::string at = std::to_string(clock.nowMs()) + " ";
        for (; promptsNoted_ < view.promptTitles.size(); ++promptsNoted_) {
            journal.push_back(at + "prompt " + view.promptTitles[promptsNoted_]);
        }
        if (view.statusText != text_) {
            const bool added = !text_.empty() && view.statusText.starts_with(text_);
            journal.push_back(
                at + (added ? "+" + view.statusText.substr(text_.size()) : "=" + view.statusText));
            text_ = view.statusText;
        }
        if (view.statusShown != shown_) {
            shown_ = view.statusShown;
            journal.push_back(at + (shown_ ? "shown" : "hidden"));
        }
        for (; messagesNoted_ < unit.received().size(); ++messagesNoted_) {
            journal.push_back(std::to_string(unit.receivedAtMs()[messagesNoted_]) + " unit got " +
                              namer_.nameOf(unit.received()[messagesNoted_]));
        }
        if (view.commandsEnabled != commands_) {
            commands_ = view.commandsEnabled;
            journal.push_back(at + "commands back");
        }
    }

    TrafficNamer namer_;
    std::size_t promptsNoted_ = 0;
    std::size_t messagesNoted_ = 0;
    std::string text_;
    bool shown_ = false;
    int commands_ = 0;
};

using LinkBench = LinkBenchWith<RecordingView>;

}  // namespace vrx::testing
