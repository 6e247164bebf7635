#pragma once

#include <map>
#include <string>
#include <vector>

#include "link/program_restore.h"
#include "protocol/bytes.h"

namespace vrx {

// What a program of the unit holds after a write or a restore, judged only from what
// actually went out on the cable and what the read-back found. Waiting for an answer
// says nothing: a read-back begins with an identity exchange too.
enum class UnitHolds {
    kUnchanged,   // none of the program's blocks went out
    kIncomplete,  // some of them went out: it may hold half old, half new
    kWritten,     // all of them went out; not read back (yet)
    kVerified,    // all went out and the read-back gave the same bytes
    kDiffers,     // all went out but the unit gave something else back
};

// Keeps count of the program blocks and restarts sent to the unit since the last
// clear(); the device link clears it as each operation starts and records every
// message it sends here.
class UnitContents {
public:
    void clear();
    // Every message that left for the output.
    void recordSent(ByteView message);
    // The read-back of `programNumber` found the same bytes, or not.
    void recordReadBack(int programNumber, bool same);

    UnitHolds holds(int programNumber) const;
    // The program whose block went out last; 0 before any did.
    int lastWritten() const { return lastWritten_; }
    // The programs that were sent at least one block, by number.
    std::vector<int> programsTouched() const;
    // The restart message went out after the last block of `programNumber`.
    bool restartSent(int programNumber) const;
    // The unit is owed a restart: a block or a request went out and no VRX_REBOOT
    // after it.
    bool restartOwed() const { return restartOwed_; }
    // A write was stopped with the line "may be incomplete": the unit may hold a program
    // half old, half new, even where no block of it is known to have gone out.
    void recordStoppedHalfway() { stoppedHalfway_ = true; }
    bool stoppedHalfway() const { return stoppedHalfway_; }

    // The sentence that says what the unit holds in `programNumber`, for the line that
    // ends a stopped or failed operation: "the program in the VRX is unchanged",
    // "program 5 may be incomplete in the VRX: write it again", "program 5 was written
    // but not verified", ... and, when the restart could not follow, what to do about it.
    std::string sentence(int programNumber) const;

private:
    struct Program {
        int blocksSent = 0;  // distinct blocks of the program
        unsigned blockMask = 0;
        bool restartSent = false;
        int readBack = 0;  // 0 not read back, 1 same, -1 different
    };
    std::map<int, Program> programs_;
    int lastWritten_ = 0;
    bool restartOwed_ = false;
    bool stoppedHalfway_ = false;
};

// The line a restore's summary gives one program: its outcome when the program had its
// turn, else what the unit holds from what went out, so a program cut off mid-write is
// never "not written yet".
std::string summaryLine(const WriteResult& result, const UnitContents& contents);

}  // namespace vrx
