#include "link/program_restore.h"

#include <algorithm>

namespace vrx {

bool succeeded(WriteOutcome outcome) {
    return outcome == WriteOutcome::kWritten || outcome == WriteOutcome::kVerified;
}

namespace {

std::string conversionNote(const WriteResult& result) {
    if (!result.convertedFrom || !succeeded(result.outcome)) {
        return {};
    }
    return " (its format byte " + std::to_string(*result.convertedFrom) +
           " was converted for this VRX's firmware)";
}

std::string outcomeLine(const WriteResult& result);

}  // namespace

std::string resultLine(const WriteResult& result) {
    return outcomeLine(result) + conversionNote(result);
}

namespace {

std::string outcomeLine(const WriteResult& result) {
    std::string line = "Program " + std::to_string(result.programNumber) + ": ";
    switch (result.outcome) {
        case WriteOutcome::kPending:
            return line + "not written yet";
        case WriteOutcome::kWritten:
            return line + "written (not verified)";
        case WriteOutcome::kVerified:
            return line + "written and verified" +
                   (result.detail.empty() ? "" : " (" + result.detail + ")");
        case WriteOutcome::kCancelled:
            return line + "not written (cancelled)";
        case WriteOutcome::kAbandoned:
            return line + "not written (the restore stopped)";
        default:
            return line + "failed: " + result.detail;
    }
}

}  // namespace

ProgramRestore::ProgramRestore(std::vector<ProgramToWrite> programs, bool verify)
    : programs_(std::move(programs)), verify_(verify), active_(true) {
    for (const auto& program : programs_) {
        results_.push_back({program.programNumber, WriteOutcome::kPending, {}, {}});
    }
}

const ProgramToWrite* ProgramRestore::current() const {
    return next_ < programs_.size() ? &programs_[next_] : nullptr;
}

void ProgramRestore::complete(WriteOutcome outcome, std::string detail) {
    if (next_ >= programs_.size()) {
        return;
    }
    results_[next_].outcome = outcome;
    results_[next_].detail = std::move(detail);
    ++next_;
}

void ProgramRestore::adoptFormatByte(std::uint8_t formatByte) {
    for (std::size_t k = next_; k < programs_.size(); ++k) {
        auto& data = programs_[k].programData;
        if (!data.empty() && data.front() != formatByte) {
            results_[k].convertedFrom = data.front();
            data.front() = formatByte;
        }
    }
}

void ProgramRestore::skipRemaining(WriteOutcome outcome, const std::string& detail) {
    for (; next_ < programs_.size(); ++next_) {
        results_[next_].outcome = outcome;
        results_[next_].detail = detail;
    }
}

bool ProgramRestore::allSucceeded() const {
    return std::all_of(results_.begin(), results_.end(),
                       [](const WriteResult& r) { return succeeded(r.outcome); });
}

bool ProgramRestore::anyFailed() const {
    return std::any_of(results_.begin(), results_.end(), [](const WriteResult& r) {
        return !succeeded(r.outcome) && r.outcome != WriteOutcome::kCancelled &&
               r.outcome != WriteOutcome::kPending;
    });
}

bool ProgramRestore::anyIncomplete() const {
    return std::any_of(results_.begin(), results_.end(), [](const WriteResult& r) {
        return r.outcome == WriteOutcome::kSendFailed || r.outcome == WriteOutcome::kDiffers;
    });
}

}  // namespace vrx
