// Writing programs into the unit one after the other and reading each back: the
// verified write of the main window and the restore of a folder of programs.
#include "link/device_link.h"
#include "link/link_texts.h"
#include "link/readback_differences.h"
#include "model/program_image.h"
#include "protocol/messages.h"

namespace vrx {

using namespace link_texts;

void DeviceLink::restorePrograms(std::vector<ProgramToWrite> programs) {
    runGuarded([this, &programs] {
        abandonSequence();
        operationMarker_ = kMarkerRestore;
        deviceIndex_ = 0;
        startOperation();
        startSequence(ProgramRestore(std::move(programs), verifyAfterWriting_),
                      SequenceStep::kBeforeWriting);
        if (!setup_.midiConfigured) {
            callerForm_ = kCallerSplash;
            view_.showMidiSetup(setup_);
            if (setup_.midiSetupCancelled) {
                restore_.skipRemaining(WriteOutcome::kCancelled);
                restore_.finish();
                sequenceStep_ = SequenceStep::kNone;
                return;
            }
        }
        view_.centreStatus();
        view_.setStatusCaption(kWriteCaption);
        view_.setStatusText(kRequestingConfigurationFirst);
        view_.showStatus();
        startIdentityExchange();
    });
}

void DeviceLink::cancelRestore() {
    if (!restore_.active()) {
        return;
    }
    restore_.cancel();
    // While the link waits for the unit to answer, no program is in hand: the last one
    // is whole in the unit, only its read-back is given up.
    if (commState_ == kStateAwaitingIdentity) {
        if (sequenceStep_ == SequenceStep::kBeforeReadBack) {
            completeProgram(WriteOutcome::kNoReadBack, "cancelled before it was read back");
        }
        endSequence();
    }
}

void DeviceLink::completeProgram(WriteOutcome outcome, std::string detail) {
    const auto index = static_cast<std::size_t>(restore_.done());
    restore_.complete(outcome, std::move(detail));
    // Support reads what became of each program in the log.
    if (index < restore_.results().size()) {
        view_.writeLog(resultLine(restore_.results()[index]));
    }
}

void DeviceLink::abandonSequence() {
    if (restore_.active()) {
        restore_.skipRemaining(WriteOutcome::kCancelled);
        restore_.finish();
    }
    sequenceStep_ = SequenceStep::kNone;
}

void DeviceLink::startSequence(ProgramRestore restore, SequenceStep first) {
    restore_ = std::move(restore);
    sequenceStep_ = first;
}

void DeviceLink::sequenceIdentityStep() {
    if (sequenceStep_ == SequenceStep::kBeforeReadBack) {
        sequenceStep_ = SequenceStep::kReadingBack;
        requestProgramData(deviceIndex_, restore_.current()->programNumber - 1);
        return;
    }
    view_.appendStatusText(" ok");
    writeCurrentProgram();
}

void DeviceLink::writeCurrentProgram() {
    restore_.adoptFormatByte(formatByteForFirmware(firmwareVersionByte_));
    const ProgramToWrite* program = restore_.current();
    // A number beyond what a request can address would wrap round to another program.
    while (program != nullptr && program->programNumber > addressableProgramCount()) {
        completeProgram(WriteOutcome::kNotStored,
                        program->programNumber > programCount_
                            ? "the unit has " + std::to_string(programCount_) + " programs"
                            : "programs above " + std::to_string(kMaxAddressableProgram) +
                                  " cannot be addressed");
        program = restore_.current();
    }
    if (program == nullptr || restore_.cancelRequested()) {
        endSequence();
        return;
    }
    if (operationMarker_ == kMarkerRestore) {
        view_.setStatusText("Program " + std::to_string(program->programNumber) + " (" +
                            std::to_string(restore_.done() + 1) + " of " +
                            std::to_string(restore_.total()) + ")" + kCrLf + kWriteCaption +
                            "... ");
    }
    const auto device = static_cast<std::uint8_t>(deviceIndex_);
    rebootAfterReadBack_ = false;  // the program's own reboot follows
    for (const auto& message : programUpdateMessages(
             device, static_cast<unsigned>(program->programNumber - 1), program->programData)) {
        queue_.queuePacedMessage(message);
    }
    queue_.queuePacedMessage(vrxReboot(device));
    queue_.markWriteEnd(static_cast<int>(kUpdateBlocks) + 1);  // and the reboot
    sequenceStep_ = SequenceStep::kRestarting;
    commState_ = kStateRestarting;
}

void DeviceLink::stepSequence() {
    if (commState_ != kStateRestarting || queue_.pacedMessagesQueued() || queue_.paused()) {
        return;
    }
    // The unit hears nothing while it restarts. A timer tick may come a little early;
    // half a tick of slack keeps that from costing a whole second of retry.
    const std::int64_t rebootSentMs = queue_.pausedUntilMs() - OutputQueue::kWritePauseMs;
    if (clock_.nowMs() + kTickMs / 2 < rebootSentMs + kUnitRestartMs) {
        return;
    }
    // The unit has all of the program and is restarting. Whatever follows, reading it
    // back or writing the next program, waits until it answers again.
    // A program about to close begins no other program of a restore, but still reads
    // back the one in hand: if the unit did not keep it, the program stays open to say so.
    if (exitAfterWrite_) {
        restore_.cancel();
    }
    if (restore_.verify()) {
        view_.appendStatusText(std::string(kCrLf) + "Verifying...");
        sequenceStep_ = SequenceStep::kBeforeReadBack;
    } else {
        completeProgram(WriteOutcome::kWritten);
        if (restore_.current() == nullptr || restore_.cancelRequested()) {
            endSequence();
            return;
        }
        sequenceStep_ = SequenceStep::kBeforeWriting;
    }
    retryTicks_ = 0;
    dotCount_ = 0;
    identityRetries_ = 0;
    startIdentityExchange();
}

void DeviceLink::identityUnansweredInSequence() {
    // The program in hand went out whole; the unit may have been switched off since.
    endWithFailure(
        sequenceStep_ == SequenceStep::kBeforeReadBack ? kReadBackUnanswered : kStoppedAnswering,
        true);
}

void DeviceLink::readBackComplete(ByteView programData) {
    moveToNextRequest(programData);
    const auto parts = differingParts(restore_.current()->programData, programData);
    unitContents_.recordReadBack(restore_.current()->programNumber, !settingsDiffer(parts));
    if (!settingsDiffer(parts)) {
        // A unit may keep the bytes that carry no setting its own way: worth a note in
        // the log and on the result line, not a failed write.
        const std::string note = parts.empty() ? "" : "bytes that carry no setting differ";
        view_.appendStatusText(note.empty() ? " ok" : " ok (" + note + ")");
        completeProgram(WriteOutcome::kVerified, note);
    } else {
        const std::string differing = joinParts(parts);
        view_.appendStatusText(std::string(kCrLf) + "The unit holds something else in " +
                               differing + "." + kCrLf + "Please write the program again.");
        completeProgram(WriteOutcome::kDiffers,
                        "the unit holds something else in " + differing + "; write it again");
    }
    // The unit has just answered: the next program needs no identity exchange first.
    sequenceStep_ = SequenceStep::kBeforeWriting;
    rebootAfterReadBack_ = true;
    writeCurrentProgram();
}

void DeviceLink::failSequence(const std::string& line) {
    if (!sequenceRunning()) {
        return;
    }
    const bool written = sequenceStep_ == SequenceStep::kBeforeReadBack ||
                         sequenceStep_ == SequenceStep::kReadingBack;
    // Waiting to begin a program, none of it was sent.
    const bool begun = sequenceStep_ != SequenceStep::kBeforeWriting;
    completeProgram(written ? WriteOutcome::kNoReadBack
                    : begun ? WriteOutcome::kSendFailed
                            : WriteOutcome::kAbandoned,
                    line);
    restore_.skipRemaining(WriteOutcome::kAbandoned);
    restore_.finish();
    sequenceStep_ = SequenceStep::kNone;
}

bool DeviceLink::readBackSendFailed() {
    const auto* program = restore_.current();
    if (program == nullptr || (sequenceStep_ != SequenceStep::kBeforeReadBack &&
                               sequenceStep_ != SequenceStep::kReadingBack)) {
        return false;
    }
    endWithFailure("Sending failed: program " + std::to_string(program->programNumber) +
                       " was written but could not be read back to verify it.",
                   true);
    return true;
}

void DeviceLink::endSequence() {
    if (restore_.cancelRequested()) {
        restore_.skipRemaining(WriteOutcome::kCancelled);
    }
    restore_.finish();
    sequenceStep_ = SequenceStep::kNone;
    keepWriteResult_ = !restore_.allSucceeded();
    if (rebootAfterReadBack_) {
        // As after a load, the unit leaves the state the request put it in.
        queueMessage(vrxReboot(static_cast<std::uint8_t>(deviceIndex_)));
        rebootAfterReadBack_ = false;
    }
    if (operationMarker_ == kMarkerWrite) {
        ++deviceIndex_;  // as a write without the read-back leaves it
    }
    // The outcome is shown again, should the user have closed the window meanwhile.
    view_.showStatus();
    if (operationMarker_ == kMarkerRestore) {
        std::string summary;
        for (const auto& result : restore_.results()) {
            summary += kCrLf + summaryLine(result, unitContents_);
        }
        view_.appendStatusText(summary);
    }
    commState_ = kStateFinished;
}

}  // namespace vrx
