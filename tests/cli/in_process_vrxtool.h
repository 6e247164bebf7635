#pragma once

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/vrxtool_app.h"
#include "ports/simulated_unit.h"

namespace vrx::cli {

// Runs vrxtool's commands inside the test, in virtual time, against a simulated unit
// whose memory outlives each command, as a rehearsal with a folder of programs does.
// Ctrl+C comes at chosen moments of the virtual clock.
class VirtualHost final : public SessionHost {
public:
    const Clock& clock() const override { return clock_; }
    void waitUntil(std::int64_t ms) override { clock_.advanceTo(std::max(ms, clock_.nowMs() + 1)); }
    void catchInterrupts() override {}
    int interrupts() const override {
        return static_cast<int>(std::ranges::count_if(
            interruptAtMs, [this](std::int64_t at) { return at <= clock_.nowMs(); }));
    }
    void portsOpened(MidiPortSet& ports) override {
        if (auto* unit = ports.simulatedUnit()) {
            for (const auto& [number, data] : memory) {
                unit->setProgram(number, data);
            }
            if (prepareUnit) {
                prepareUnit(*unit);
            }
        }
    }
    void portsClosing(MidiPortSet& ports) override {
        if (auto* unit = ports.simulatedUnit()) {
            for (int p = 1; p <= unit->settings().programCount; ++p) {
                memory[p] = unit->program(p);
            }
            received = unit->received();
        }
    }

    static constexpr std::int64_t kRunBoundMs = 3'600'000;
    VirtualClock clock_;
    std::int64_t runStartMs_ = 0;
    std::vector<std::int64_t> interruptAtMs;  // from the command's start
    std::map<int, Bytes> memory;              // the unit's programs between commands
    std::function<void(SimulatedUnit&)> prepareUnit;
    std::vector<Bytes> received;  // what the unit got during the last command
};

struct InProcessRun {
    int status = -1;
    std::string out;
    std::string err;
    std::int64_t virtualMs = 0;
    // The last line on stderr.
    std::string lastLine() const {
        auto text = std::string_view(err);
        while (!text.empty() && text.back() == '\n') {
            text.remove_suffix(1);
        }
        const auto start = text.rfind('\n');
        return std::string(start == std::string_view::npos ? text : text.substr(start + 1));
    }
};

// `args` separated by blanks, as a shell splits words that need no quoting.
inline InProcessRun runInProcess(VirtualHost& host, const std::string& args) {
    std::vector<std::string> words{"vrxtool"};
    std::istringstream split(args);
    for (std::string word; split >> word;) {
        words.push_back(word);
    }
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    const std::int64_t start = host.clock_.nowMs();
    host.runStartMs_ = start;
    for (auto& at : host.interruptAtMs) {
        at += start;
    }
    std::ostringstream out;
    std::ostringstream err;
    auto* oldOut = std::cout.rdbuf(out.rdbuf());
    auto* oldErr = std::cerr.rdbuf(err.rdbuf());
    InProcessRun run;
    try {
        run.status = runVrxtool(static_cast<int>(argv.size()), argv.data(), host);
    } catch (const std::exception& error) {
        run.err = std::string("\n") + error.what();
    }
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    host.interruptAtMs.clear();
    run.out = out.str();
    run.err = err.str() + run.err;
    run.virtualMs = host.clock_.nowMs() - start;
    return run;
}

}  // namespace vrx::cli
