#include "link/unit_contents.h"

#include "protocol/messages.h"

namespace vrx {
namespace {

constexpr std::size_t kCommandPosition = 5;  // the three command bytes follow the device byte

bool hasCommand(ByteView message, const Bytes& command) {
    return isManufacturerMessage(message) && message.size() >= kCommandPosition + command.size() &&
           std::equal(command.begin(), command.end(), message.begin() + kCommandPosition);
}

}  // namespace

void UnitContents::clear() {
    programs_.clear();
    lastWritten_ = 0;
    restartOwed_ = false;
    stoppedHalfway_ = false;
}

void UnitContents::recordSent(ByteView message) {
    const auto& constants = messageConstants();
    if (const auto block = parseProgramUpdate(message)) {
        const int programNumber = static_cast<int>(block->address / kProgramBytes) + 1;
        const unsigned bit = 1u << ((block->address % kProgramBytes) / kUpdateBlockBytes);
        auto& program = programs_[programNumber];
        if ((program.blockMask & bit) == 0) {
            program.blockMask |= bit;
            ++program.blocksSent;
        }
        // A block sent again makes what was read back before stale.
        program.readBack = 0;
        program.restartSent = false;
        lastWritten_ = programNumber;
        restartOwed_ = true;
    } else if (hasCommand(message, constants.cmdProgramRequest)) {
        // The unit leaves the state a request puts it in only by restarting.
        restartOwed_ = true;
    } else if (hasCommand(message, constants.cmdReboot)) {
        if (const auto found = programs_.find(lastWritten_); found != programs_.end()) {
            found->second.restartSent = true;
        }
        restartOwed_ = false;
    }
}

void UnitContents::recordReadBack(int programNumber, bool same) {
    programs_[programNumber].readBack = same ? 1 : -1;
}

UnitHolds UnitContents::holds(int programNumber) const {
    const auto found = programs_.find(programNumber);
    if (found == programs_.end() || found->second.blocksSent == 0) {
        return UnitHolds::kUnchanged;
    }
    const Program& program = found->second;
    if (program.blocksSent < static_cast<int>(kUpdateBlocks)) {
        return UnitHolds::kIncomplete;
    }
    if (program.readBack == 0) {
        return UnitHolds::kWritten;
    }
    return program.readBack > 0 ? UnitHolds::kVerified : UnitHolds::kDiffers;
}

std::vector<int> UnitContents::programsTouched() const {
    std::vector<int> touched;
    for (const auto& [number, program] : programs_) {
        if (program.blocksSent > 0) {
            touched.push_back(number);
        }
    }
    return touched;
}

bool UnitContents::restartSent(int programNumber) const {
    const auto found = programs_.find(programNumber);
    return found != programs_.end() && found->second.restartSent;
}

std::string summaryLine(const WriteResult& result, const UnitContents& contents) {
    const std::string program = "Program " + std::to_string(result.programNumber) + ": ";
    switch (result.outcome) {
        case WriteOutcome::kPending:
        case WriteOutcome::kSendFailed:
        case WriteOutcome::kNoReadBack:
        case WriteOutcome::kAbandoned:
        case WriteOutcome::kCancelled:
            break;  // cut off: what went out decides
        default:
            return resultLine(result);
    }
    switch (contents.holds(result.programNumber)) {
        case UnitHolds::kUnchanged:
            return result.outcome == WriteOutcome::kPending
                       ? program + "not written; it is unchanged in the VRX"
                       : resultLine(result);
        case UnitHolds::kIncomplete:
            return program + "failed: " + contents.sentence(result.programNumber);
        case UnitHolds::kWritten:
            return program + "written, but not verified" +
                   (result.detail.empty() ? "" : " (" + result.detail + ")");
        default: {
            WriteResult found = result;
            found.outcome = contents.holds(result.programNumber) == UnitHolds::kVerified
                                ? WriteOutcome::kVerified
                                : WriteOutcome::kDiffers;
            return resultLine(found);
        }
    }
}

std::string UnitContents::sentence(int programNumber) const {
    const std::string program = "program " + std::to_string(programNumber);
    std::string said;
    switch (holds(programNumber)) {
        case UnitHolds::kUnchanged:
            return program + " in the VRX is unchanged";
        case UnitHolds::kIncomplete:
            return program + " in the VRX may be incomplete (" +
                   std::to_string(programs_.at(programNumber).blocksSent) + " of " +
                   std::to_string(kUpdateBlocks) + " blocks went out): write it again";
        case UnitHolds::kWritten:
            said = program + " was written but not verified";
            break;
        case UnitHolds::kVerified:
            said = program + " was written and verified";
            break;
        case UnitHolds::kDiffers:
            said = program + " was written, but the VRX holds something else: write it again";
            break;
    }
    // Until it restarts the unit may not run what it stored, nor leave the state a
    // read-back's request put it in.
    if ((programNumber == lastWritten_ && restartOwed_) || !restartSent(programNumber)) {
        said += "; the VRX did not get its restart message: switch it off and on";
    }
    return said;
}

}  // namespace vrx
