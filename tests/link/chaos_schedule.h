#pragma once

// One random schedule of unit faults, user actions and operations over the link, in
// virtual time against the simulated unit, checked against what must hold whatever
// happens. The test run draws schedules from fixed seeds; the fuzzer from its bytes.

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "link/link_bench.h"

namespace vrx::testing {

// Where a schedule's choices come from: a seeded generator, or the fuzzer's bytes
// (zeros once they run out).
class Choices {
public:
    explicit Choices(std::uint32_t seed) : engine_(seed) {}
    Choices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // From lo to hi, both included.
    int pick(int lo, int hi) {
        const auto span = static_cast<unsigned>(hi - lo) + 1;
        if (data_ == nullptr) {
            return lo + static_cast<int>(engine_() % span);
        }
        unsigned value = 0;
        for (int i = 0; i < 2 && at_ < size_; ++i) {
            value = (value << 8) | data_[at_++];
        }
        return lo + static_cast<int>(value % span);
    }
    bool percent(int chance) { return pick(0, 99) < chance; }

private:
    std::mt19937 engine_;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t at_ = 0;
};

// The editor and the backup folder as the link fills them, each checked against the
// unit the moment it is handed over; and everything the status window ever said.
class CheckingView : public RecordingView {
public:
    void setStatusText(std::string text) override {
        transcript += "\n" + text;
        RecordingView::setStatusText(std::move(text));
    }
    void appendStatusText(std::string_view text) override {
        transcript += text;
        RecordingView::appendStatusText(text);
    }
    void decodeIntoEditor(ByteView data) override {
        check(link->activeProgram(), data, "the editor got other bytes than program ");
        RecordingView::decodeIntoEditor(data);
    }
    void programRead(int number, ByteView data) override {
        check(number, data, "a backup file holds other bytes than program ");
        RecordingView::programRead(number, data);
    }
    // The link logs each program's result the moment it has one: one reported written
    // or verified is in the unit as it was sent.
    void writeLog(std::string_view line) override {
        const auto& restore = link->restore();
        const auto index = static_cast<std::size_t>(restore.done());
        if (index > 0 && index <= restore.results().size()) {
            const auto& result = restore.results()[index - 1];
            if (line == resultLine(result) && succeeded(result.outcome)) {
                check(result.programNumber, restore.programs()[index - 1].programData,
                      "reported written, but the unit does not hold program ");
            }
        }
        RecordingView::writeLog(line);
    }

    const SimulatedUnit* unit = nullptr;
    const DeviceLink* link = nullptr;
    std::string transcript;
    std::string violation;

private:
    void check(int number, ByteView data, const char* what) {
        if (data.size() < kProgramBytes ||
            Bytes(data.begin(), data.begin() + kProgramBytes) != unit->program(number)) {
            violation = what + std::to_string(number) + " holds";
        }
    }
};

// The longest an operation may take once nobody interferes, and an exit once confirmed.
inline constexpr int kOperationBoundTicks = 900;
inline constexpr int kExitBoundTicks = 400;
// A user who sees the status window wait for an unanswered unit closes it after this.
inline constexpr int kPatienceTicks = 150;

class ChaosRun {
public:
    explicit ChaosRun(Choices& choices) : choices_(choices) {
        bench_.view.unit = &bench_.unit;
        bench_.view.link = &bench_.link;
    }

    // Runs the schedule; the first invariant that broke, empty when all held.
    std::string run() {
        arrangeFaults();
        const int actions = choices_.pick(1, 8);
        for (int i = 0; i < actions && violation().empty() && !exited_; ++i) {
            const int wait = choices_.pick(0, 60);
            for (int t = 0; t < wait && violation().empty() && !exited_; ++t) {
                step();
            }
            act();
        }
        if (!exited_ && violation().empty()) {
            settle();
        }
        return violation();
    }

    // What happened, tick by tick, for a schedule that broke an invariant.
    std::string journal() const {
        std::string lines;
        for (const auto& line : bench_.journal) {
            lines += line + "\n";
        }
        return faults_ + "\n" + lines + bench_.view.transcript;
    }

private:
    std::string violation() const {
        return bench_.view.violation.empty() ? violation_ : bench_.view.violation;
    }

    void arrangeFaults() {
        auto& unit = bench_.unit;
        auto& behaviour = unit.settings().behaviour;
        unit.settings().responseParts = 1 << choices_.pick(0, 2);
        using Kind = SimulatedUnitSettings::ResponseAddress;
        unit.settings().responseAddress =
            choices_.percent(70) ? Kind::kAddress
                                 : (choices_.percent(50) ? Kind::kZeros : Kind::kOwnBytes);
        if (choices_.percent(20)) {
            unit.faults().ignoredRequests = choices_.pick(1, 4);
        }
        // Without addresses a late answer is only told from the next by its bytes, which
        // an operation started meanwhile has not seen: late answers need addresses here.
        if (choices_.percent(unit.settings().addressInResponses() ? 30 : 0)) {
            behaviour.lateAnswer = SimulatedBehaviour::LateAnswer{
                choices_.pick(1, 40), static_cast<std::int64_t>(choices_.pick(0, 5000))};
        }
        const auto sometimes = [this](int chance, int highest) -> std::optional<int> {
            if (!choices_.percent(chance)) {
                return std::nullopt;
            }
            return choices_.pick(1, highest);
        };
        behaviour.lostAnswer = sometimes(20, 40);
        behaviour.damagedAnswer = sometimes(20, 40);
        // Without addresses in the answers, a copy of one cannot be told from the next.
        behaviour.duplicatedAnswer = sometimes(unit.settings().addressInResponses() ? 20 : 0, 40);
        behaviour.outputFailsAfter = sometimes(10, 80);
        behaviour.silentAfterReboot = sometimes(10, 3);
        // Another unit's answers can only be told from the unit's by their addresses.
        const auto strays = sometimes(unit.settings().addressInResponses() ? 15 : 0, 1000);
        if (const auto seed = strays) {
            behaviour.strayReplies = true;
            behaviour.straySeed = static_cast<std::uint32_t>(*seed);
        }
        behaviour.lineNoise = choices_.percent(15);
        unit.faults().echo = choices_.percent(10);
        const auto named = [](const char* name, const std::optional<int>& n) {
            return n ? std::string(name) + "=" + std::to_string(*n) + " " : std::string();
        };
        faults_ =
            "parts=" + std::to_string(unit.settings().responseParts) +
            (unit.settings().addressInResponses() ? " addresses " : " no-addresses ") +
            named("ignore", unit.faults().ignoredRequests) +
            (behaviour.lateAnswer ? "late=" + std::to_string(behaviour.lateAnswer->answer) + ":" +
                                        std::to_string(behaviour.lateAnswer->delayMs) + " "
                                  : "") +
            named("lost", behaviour.lostAnswer) + named("damaged", behaviour.damagedAnswer) +
            named("duplicated", behaviour.duplicatedAnswer) +
            named("output-fails", behaviour.outputFailsAfter) +
            named("silent-after-reboot", behaviour.silentAfterReboot) +
            (behaviour.strayReplies ? "strays " : "") + (behaviour.lineNoise ? "noise " : "") +
            (unit.faults().echo ? "echo" : "");
        bench_.link.setVerifyAfterWriting(choices_.percent(70));
        for (int i = 0; i < 8; ++i) {
            bench_.view.promptAnswers.push_back(choices_.percent(10) ? -1 : choices_.pick(1, 16));
        }
        for (int p = 1; p <= 16; ++p) {
            acceptable_[p].insert(unit.program(p));
        }
    }

    // One tick, with what must hold at every moment.
    void step() {
        bench_.tick();
        if (!exitAsked_) {
            return;
        }
        if (bench_.link.readyToExit()) {
            bench_.link.closePorts();
            exited_ = true;
        } else if (!bench_.link.exitRequested()) {
            exitAsked_ = false;  // withdrawn, and the user was told why
        } else if (++exitTicks_ > kExitBoundTicks) {
            violation_ = "an exit confirmed during a write did not close in time";
        }
    }

    void act() {
        auto& link = bench_.link;
        switch (choices_.pick(0, 9)) {
            case 0:
                link.statusWindowClosed();
                break;
            case 1:
                link.cancelBackup();
                link.cancelRestore();
                break;
            case 2:
                exit();
                break;
            case 3:
                bench_.unit.faults().silent = !bench_.unit.faults().silent;
                break;
            default:
                startOperation();
                break;
        }
    }

    void exit() {
        if (bench_.link.writeInProgress()) {
            bench_.link.requestExitAfterWrite();
            exitAsked_ = true;
            exitTicks_ = 0;
        } else {
            bench_.link.closePorts();
            exited_ = true;
        }
    }

    Bytes somePlausibleProgram() { return plausibleProgram(choices_.pick(20, 40)); }

    // A device command, as the main window allows it: not while a write is sending.
    void startOperation() {
        auto& link = bench_.link;
        if (link.writeInProgress()) {
            return;
        }
        switch (choices_.pick(0, 3)) {
            case 0:
                link.loadFromDevice();
                break;
            case 1: {
                const Bytes sent = somePlausibleProgram();
                bench_.view.imageToWrite = sent;
                for (auto& [number, contents] : acceptable_) {
                    contents.insert(sent);  // whichever program the prompt picks
                }
                unverifiedWrite_ = !link.verifyAfterWriting();
                link.writeToDevice();
                break;
            }
            case 2:
                link.backupFromDevice();
                break;
            default: {
                std::vector<ProgramToWrite> programs;
                for (int n = choices_.pick(1, 3); n > 0; --n) {
                    programs.push_back({choices_.pick(1, 17), somePlausibleProgram()});
                    // Program 17 is refused: the unit has 16.
                    if (acceptable_.contains(programs.back().programNumber)) {
                        acceptable_[programs.back().programNumber].insert(
                            programs.back().programData);
                    }
                }
                link.restorePrograms(programs);
                break;
            }
        }
    }

    bool idle() {
        auto& link = bench_.link;
        return !link.unitOperationInProgress() && !link.writeInProgress() &&
               link.outputQueue().midiOutQueue().empty() && !link.outputQueue().paused();
    }

    // Nobody interferes any more: everything ends in time, the commands come back, and
    // the unit holds each program whole, old or new, unless the user was told otherwise.
    void settle() {
        auto& link = bench_.link;
        for (int t = 0; t < kOperationBoundTicks && !idle() && violation().empty(); ++t) {
            if (t == kPatienceTicks && bench_.view.statusShown) {
                link.statusWindowClosed();
            }
            step();
        }
        if (!violation().empty() || exited_) {
            return;
        }
        if (!idle()) {
            violation_ = "an operation did not end in time: state " +
                         std::to_string(link.commState()) + ", status: " + bench_.view.statusText;
            return;
        }
        bench_.ticks(DeviceLink::kResultTicks + 2);  // the result display runs out
        const auto& transcript = bench_.view.transcript;
        // A write stopped halfway, or a program the unit did not keep as sent.
        const bool toldIncomplete = transcript.find("may be incomplete") != std::string::npos ||
                                    transcript.find("write it again") != std::string::npos;
        for (const auto& [number, contents] : acceptable_) {
            if (!contents.contains(bench_.unit.program(number)) && !toldIncomplete) {
                violation_ = "program " + std::to_string(number) +
                             " is neither the old nor a new program, and nobody said so";
            }
        }
        if (unverifiedWrite_ && link.operationMarker() == kMarkerWrite && !link.failure() &&
            bench_.view.statusText.find("Done.") != std::string::npos &&
            bench_.unit.program(link.activeProgram()) != bench_.view.imageToWrite) {
            violation_ = "a write said Done. but the unit does not hold the program";
        }
    }

    Choices& choices_;
    LinkBenchWith<CheckingView> bench_;
    std::map<int, std::set<Bytes>> acceptable_;
    bool unverifiedWrite_ = false;
    bool exited_ = false;
    bool exitAsked_ = false;
    int exitTicks_ = 0;
    std::string violation_;
    std::string faults_;
};

}  // namespace vrx::testing
