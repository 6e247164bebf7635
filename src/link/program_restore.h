#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/bytes.h"

namespace vrx {

// One program to store in the unit: its number (from 1) and the 256 bytes it holds.
struct ProgramToWrite {
    int programNumber = 0;
    Bytes programData;
};

// What became of one program of a restore (or of a single write).
enum class WriteOutcome {
    kPending,       // not reached yet
    kWritten,       // sent; not read back because verification is off
    kVerified,      // read back and the same as what was sent
    kDiffers,       // read back and something else: the write should be repeated
    kNotStored,     // the unit has no program with that number
    kSendFailed,    // the output failed while the program was being sent
    kNoReadBack,    // written, but the read-back was cancelled or never came
    kCancelled,     // the user stopped the restore before this program
    kAbandoned,     // a failure before it stopped the restore
    kFileUnusable,  // its file could not be read
};

struct WriteResult {
    int programNumber = 0;
    WriteOutcome outcome = WriteOutcome::kPending;
    std::string detail;  // which parts differ, or why it failed
    // The format byte its file held, when the unit's firmware asked for another one.
    std::optional<std::uint8_t> convertedFrom;
};

bool succeeded(WriteOutcome outcome);

// "Program 3: written and verified", "Program 4: failed: the unit holds something else
// in pin rows 3, 17; repeat the write".
std::string resultLine(const WriteResult& result);

// The programs a restore writes, one after the other, and what became of each. The
// device link walks through it; the windows and vrxtool read it.
class ProgramRestore {
public:
    ProgramRestore() = default;
    ProgramRestore(std::vector<ProgramToWrite> programs, bool verify);

    bool verify() const { return verify_; }
    bool active() const { return active_; }
    void finish() { active_ = false; }

    // The program being written or read back, null once every program has had its turn.
    const ProgramToWrite* current() const;
    // Records the current program's outcome and moves to the next one.
    void complete(WriteOutcome outcome, std::string detail = {});
    // The user asked to stop: the program in hand is finished, no other is begun.
    void cancel() { cancelRequested_ = true; }
    bool cancelRequested() const { return cancelRequested_; }
    // The unit's firmware asks for this format byte: every program not yet written is
    // sent with it, as a single write would, and its result says so.
    void adoptFormatByte(std::uint8_t formatByte);
    // Gives every program not yet done this outcome.
    void skipRemaining(WriteOutcome outcome, const std::string& detail = {});

    const std::vector<ProgramToWrite>& programs() const { return programs_; }
    int total() const { return static_cast<int>(programs_.size()); }
    int done() const { return static_cast<int>(next_); }
    const std::vector<WriteResult>& results() const { return results_; }
    bool allSucceeded() const;
    // A program went wrong: not written, not kept, or not read back. Programs the user
    // cancelled, or that were not reached yet, do not count.
    bool anyFailed() const;
    // A program may not be in the unit as it was sent: its messages stopped halfway, or
    // the unit gave back something else.
    bool anyIncomplete() const;

private:
    std::vector<ProgramToWrite> programs_;
    std::vector<WriteResult> results_;
    std::size_t next_ = 0;
    bool verify_ = true;
    bool active_ = false;
    bool cancelRequested_ = false;
};

}  // namespace vrx
