// The timer side of the device link: what each 100 ms tick does, and how an operation's
// result is shown.
#include "link/device_link.h"
#include "link/link_texts.h"

namespace vrx {

using namespace link_texts;

void DeviceLink::mainTimerTick() {
    if (busyDepth_ > 0) {
        return;
    }
    dispatchMidiEvents();
    if (queue_.pauseHoldsTick()) {
        return;
    }
    runGuarded([this] {
        drainInput();
        tickSteps();
        withdrawExitAfterFailedWrite();
    });
}

void DeviceLink::tickSteps() {
    // 1. Entry actions of a state the tick has not seen yet.
    if (commState_ != lastHandledState_) {
        switch (commState_) {
            case kStateIdle:
                lastHandledState_ = kStateIdle;
                queue_.stopInput();
                break;
            case kStateFinished:
                lastHandledState_ = kStateFinished;
                completionDisplay();
                commState_ = kStateResultShown;
                queue_.stopInput();
                timeoutCount_ = 0;
                loadedFileName_.clear();
                break;
            case kStateResultShown:
                lastHandledState_ = kStateFinished;  // so this runs again next tick
                ++timeoutCount_;
                if (view_.statusVisible() && timeoutCount_ < kResultTicks) {
                    break;
                }
                // A failure leaves the editor as it was, and stays on screen until the
                // user has read it and closes it.
                if (!failure_) {
                    view_.enableAllCommands();
                    view_.checkMidiStopChannels();
                    // So does a program the unit did not keep as it was sent.
                    if (!std::exchange(keepWriteResult_, false)) {
                        view_.hideStatus();
                    }
                }
                lastHandledState_ = kStateResultShown;
                break;
            default:
                lastHandledState_ = commState_;
                break;
        }
    }
    // 2. Ask again every second while the user keeps the status window open.
    // A restore has its own progress window and keeps asking while it runs.
    if (commState_ == kStateAwaitingIdentity && (view_.statusVisible() || sequenceRunning())) {
        if (++retryTicks_ == kRetryTicks) {
            retryTicks_ = 0;
            // Nobody watches a sequence's exchange: it asks as a request does, then gives up.
            if (sequenceRunning() && ++identityRetries_ > kRequestRetries) {
                identityUnansweredInSequence();
            } else {
                startIdentityExchange();
                view_.appendStatusText(".");
                ++dotCount_;
            }
        }
        if (dotCount_ > kDotsBeforeWarning) {
            view_.setStatusText(std::string(kCheckConnections) + kCrLf + kRetrying);
            dotCount_ = 0;
        }
    }
    // 3. The unit answered a load: the ports close, and the prompt follows after a pause
    // that only the first load of a run really waits for, since the counter keeps what
    // the last result display left in it.
    if (commState_ == kStateIdentityReceived) {
        queue_.stopInput();
        commState_ = kStatePromptPause;
    }
    // 4.
    if (commState_ == kStatePromptPause) {
        lastHandledState_ = kStateIdentityReceived;
        if (++timeoutCount_ > kPromptPauseTicks) {
            if (view_.statusVisible()) {
                view_.closeStatus();
            }
            transferProgram();
            // A cancelled prompt has finished the load; its result display still has to
            // run on the next tick, like that of any finished operation.
            if (commState_ != kStateFinished) {
                lastHandledState_ = commState_;
            }
        }
    }
    // The unit has not answered a request for 2 s since it went out, or since the last
    // part of the answer: the answer was lost, or spoilt on the way.
    const bool awaitingAnswer = commState_ == kStateRequestSent || commState_ == kStateReceiving;
    if (awaitingAnswer && queue_.midiOutQueue().empty()) {
        if (++silentTicks_ >= kResponseTimeoutTicks) {
            askAgainOrGiveUp();
        }
    }
    stepSequence();
    // 5. Once a write reads back, only its own messages are paced.
    if (exitAfterWrite_) {
        queue_.putDoneOnItsOwnLine();  // below the line saying the program closes
    }
    // A read stops at its first failed send too: asking again through an output that
    // fails would only repeat the error message.
    const bool reading = (operationMarker_ == kMarkerLoad || operationMarker_ == kMarkerBackup) &&
                         unitOperationInProgress();
    queue_.pumpOutputQueue(operationMarker_ == kMarkerWrite && !sequenceRunning(),
                           sequenceRunning() || reading);
    if (const auto failure = queue_.takeSendFailure()) {
        if (reading) {
            endWithFailure(kReadSendFailed, true);
        } else if (!readBackSendFailed()) {
            reportWriteFailure(*failure);
        }
    }
}

void DeviceLink::completionDisplay() {
    if (operationMarker_ == kMarkerFailed) {
        return;  // the editor stays as it was; the status says why
    }
    view_.showPinGrid();
    view_.centreStatus();
    switch (operationMarker_) {
        case kMarkerLoad:
            view_.showStatus();
            view_.appendStatusText(std::string(kCrLf) + kLoadCaption + "..." + kCrLf + "Done.");
            view_.setTabScopeVisible(true);
            if (handToEditor_) {
                view_.setWindowTitle(kTitleEditing + std::to_string(activeProgram_));
            }
            view_.setStatusCaption(kLoadCaption);
            break;
        case kMarkerFile:
            view_.setStatusCaption(kFileCaption);
            view_.showStatus();
            if (programBlockCount_ < 1) {
                view_.setStatusText(kInvalidFile);
                view_.setTabScopeVisible(false);
                // The status text passes; which file failed, and why, must be read.
                view_.showMessage(std::string(kInvalidFile) + "\n\n" + loadedFileName_ +
                                  (refusalReason_.empty() ? "" : ": " + refusalReason_));
            } else {
                view_.setStatusText(kFileLoaded + loadedFileName_);
                view_.setTabScopeVisible(true);
            }
            break;
        case kMarkerBackup:
            view_.showStatus();
            // A backup cancelled before its last program is not done.
            view_.appendStatusText(std::string(kCrLf) +
                                   (backupCancelled() ? "Cancelled." : "Done."));
            break;
        default:
            break;
    }
}

}  // namespace vrx
