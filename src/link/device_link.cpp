#include "link/device_link.h"

#include <utility>

#include "link/link_texts.h"
#include "model/program_image.h"
#include "protocol/messages.h"

namespace vrx {

using namespace link_texts;

std::string incompleteWriteLine(std::string_view what, const WriteProgress& progress) {
    return std::string(what) + ": " + std::to_string(progress.sent) + " of " +
           std::to_string(progress.total) +
           " messages went out. The program in the VRX may be incomplete: write it again.";
}

DeviceLink::DeviceLink(MidiInput& input, MidiOutput& output, LinkView& view, const Clock& clock)
    : input_(input),
      output_(output),
      view_(view),
      clock_(clock),
      queue_(input, output, setup_, view, clock) {
    input_.setMessageHandler([this] { midiIn_Message(); });
    queue_.setTrafficTap([this](TrafficDirection direction, ByteView message) {
        unitContents_.recordSent(message);
        if (trafficTap_) {
            trafficTap_(direction, message);
        }
    });
}

namespace {

// Keeps the link's busy depth balanced when a step throws: one exception must not
// leave every later tick and message refused.
class BusyScope {
public:
    explicit BusyScope(int& depth) : depth_(depth) { ++depth_; }
    ~BusyScope() { --depth_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& depth_;
};

}  // namespace

void DeviceLink::runGuarded(const std::function<void()>& step) {
    {
        const BusyScope scope(busyDepth_);
        step();
    }
    // Messages that came while a dialog was open are handled now, in order.
    while (busyDepth_ == 0 && inputDeferred_ && !queue_.paused()) {
        const BusyScope scope(busyDepth_);
        drainInput();
    }
}

void DeviceLink::dispatchMidiEvents() {
    input_.dispatchEvents();
    output_.dispatchEvents();
}

void DeviceLink::loadFromDevice() {
    handToEditor_ = true;
    runGuarded([this] { beginReading(kMarkerLoad); });
}

void DeviceLink::compareWithDevice() {
    handToEditor_ = false;
    runGuarded([this] { beginReading(kMarkerLoad); });
}

void DeviceLink::backupFromDevice() {
    backupCancelRequested_ = false;
    backupProgram_ = 0;
    runGuarded([this] { beginReading(kMarkerBackup); });
}

void DeviceLink::cancelBackup() {
    if (operationMarker_ != kMarkerBackup) {
        return;
    }
    backupCancelRequested_ = true;
    // Nothing read yet and the unit silent: there is nothing to wait for.
    if (commState_ == kStateAwaitingIdentity) {
        commState_ = kStateFinished;
    }
}

void DeviceLink::startOperation() {
    failure_.reset();
    unitContents_.clear();
    lateAnswersOwed_ = 0;
    answeredPrograms_.clear();
    identityRetries_ = 0;
}

void DeviceLink::beginReading(int marker) {
    abandonSequence();
    operationMarker_ = marker;
    startOperation();
    // Every operation starts with the first unit; a count left over from an earlier
    // write would address a unit that is not there and wait for ever.
    deviceIndex_ = 0;
    if (!setup_.midiConfigured) {
        callerForm_ = kCallerSplash;
        // While the dialog is open the operation has begun: the result an earlier one
        // left is not its own (a backup took it for its end and filed nothing).
        const int before = std::exchange(commState_, kStateAwaitingIdentity);
        view_.showMidiSetup(setup_);
        commState_ = before;
        if (setup_.midiSetupCancelled) {
            return;
        }
    }
    view_.centreStatus();
    view_.setStatusCaption(kLoadCaption);
    view_.setStatusText(kRequestingConfiguration);
    view_.showStatus();
    startIdentityExchange();
}

void DeviceLink::writeToDevice() {
    runGuarded([this] {
        abandonSequence();
        operationMarker_ = kMarkerWrite;
        startOperation();
        deviceIndex_ = 0;  // as for a load: the first unit, whatever was written before
        if (!setup_.midiConfigured) {
            callerForm_ = kCallerSplash;
            view_.showMidiSetup(setup_);
        }
        view_.centreStatus();
        startIdentityExchange();
        view_.setStatusCaption(kWriteCaption);
        view_.setStatusText(kRequestingConfigurationFirst);
        view_.showStatus();
    });
}

void DeviceLink::fileOperationStarted() {
    operationMarker_ = kMarkerFile;
}

void DeviceLink::fileLoadFinished(int programBlockCount, std::string loadedFileName,
                                  std::string refusalReason) {
    operationMarker_ = kMarkerFile;
    programBlockCount_ = programBlockCount;
    loadedFileName_ = std::move(loadedFileName);
    refusalReason_ = std::move(refusalReason);
    if (programBlockCount > 0) {
        programInEditor_ = 0;  // the editor now holds the file's program
    }
    commState_ = kStateFinished;
}

void DeviceLink::statusWindowClosed() {
    queue_.stopInput();
    view_.hideStatus();
    // The user gives up waiting for the unit (the wrong port, say): the exchange ends
    // and the commands come back. A write's messages still go out whole, and a backup
    // keeps what it has read.
    // Closing the status window of a backup or restore means Cancel.
    if (operationMarker_ == kMarkerBackup) {
        cancelBackup();
        return;
    }
    if (operationMarker_ == kMarkerRestore) {
        cancelRestore();
        return;
    }
    switch (commState_) {
        case kStateAwaitingIdentity:
        case kStateRequestSent:
        case kStateReceiving:
        case kStateIdentityReceived:
        case kStatePromptPause:
            // Before a write's program goes out only the identity exchange is queued.
            if (!sequenceRunning()) {
                operationMarker_ = kMarkerCancelled;
                commState_ = kStateFinished;
            }
            break;
        default:
            break;
    }
}

void DeviceLink::startIdentityExchange() {
    queueMessage(tagMessage());
    queueMessage(identityRequest());
    commState_ = kStateAwaitingIdentity;
}

void DeviceLink::identityStep() {
    if (sequenceRunning()) {
        sequenceIdentityStep();
        return;
    }
    if (operationMarker_ == kMarkerBackup) {
        startBackup();
        return;
    }
    if (operationMarker_ != kMarkerWrite) {
        commState_ = kStateIdentityReceived;
        return;
    }
    view_.appendStatusText(" ok");
    commState_ = kStateWriting;
    transferProgram();
    // A write is over once its messages are queued, whether or not more units could
    // follow: the output queue shows "Done." when the last of them has gone out. A
    // verified write goes on with the read-back.
    if (!sequenceRunning()) {
        commState_ = kStateFinished;
    }
}

void DeviceLink::transferProgram() {
    const bool loading = operationMarker_ == kMarkerLoad;
    const int n = askProgramNumber(loading ? kLoadPromptTitle : kWritePromptTitle);
    if (n <= 0) {
        operationMarker_ = kMarkerCancelled;
        commState_ = kStateFinished;
        return;
    }
    const std::string phrase =
        std::string(loading ? "Loading Program Data from " : "Writing Program Data to ") +
        kDeviceName;
    view_.setStatusCaption(phrase);
    view_.appendStatusText(kCrLf + phrase + "... " + (loading ? "" : kCrLf));
    view_.showStatus();
    setActiveProgram(n);
    callerForm_ = kCallerMain;
    transferStep();
    if (loading) {
        view_.appendStatusText(" ok");
    }
}

void DeviceLink::transferStep() {
    if (operationMarker_ == kMarkerLoad) {
        sendProgramRequest(deviceIndex_, activeProgram_ - 1);
        return;
    }
    if (verifyAfterWriting_) {
        Bytes image = view_.currentImage(firmwareVersionByte_);
        image.resize(kProgramBytes, 0xFF);
        startSequence(ProgramRestore({{activeProgram_, std::move(image)}}, true),
                      SequenceStep::kBeforeWriting);
        writeCurrentProgram();
        return;
    }
    writeProgramToMemory(deviceIndex_, activeProgram_ - 1);
    queueMessage(vrxReboot(static_cast<std::uint8_t>(deviceIndex_)));
    queue_.markWriteEnd(static_cast<int>(kUpdateBlocks) + 1, true);  // and the reboot
    ++deviceIndex_;
    commState_ = kStateFinished;
}

void DeviceLink::writeProgramToMemory(int device, int page) {
    Bytes image = view_.currentImage(firmwareVersionByte_);
    if (image.size() < kProgramBytes) {
        image.resize(kImageBytes, 0xFF);
    }
    for (const auto& message : programUpdateMessages(static_cast<std::uint8_t>(device),
                                                     static_cast<unsigned>(page), image)) {
        queueMessage(message);
    }
}

void DeviceLink::sendProgramRequest(int device, int programIndex) {
    view_.centreStatus();
    view_.showStatus();
    view_.setStatusText(kRequestingProgramData);
    view_.setStatusCaption(kLoadCaption);
    requestProgramData(device, programIndex);
}

void DeviceLink::requestProgramData(int device, int programIndex) {
    expectedLength_ = kProgramBytes;
    requestedProgramIndex_ = programIndex;
    requestRetries_ = 0;
    watchForSilence();
    queueMessage(
        programRequest(static_cast<std::uint8_t>(device), static_cast<unsigned>(programIndex)));
    commState_ = kStateRequestSent;
}

void DeviceLink::watchForSilence() {
    silentTicks_ = 0;
    unaddressedParts_ = 0;
    discardingAnswer_ = false;
}

void DeviceLink::askAgainOrGiveUp() {
    if (requestRetries_ == kRequestRetries) {
        endWithFailure(
            sequenceStep_ == SequenceStep::kReadingBack ? kReadBackUnanswered : kStoppedAnswering,
            true);
        return;
    }
    ++requestRetries_;
    if (unaddressedParts_ > 0 && !unitFillsInAddress_) {
        unitLeavesAddressOut_ = true;  // it answered, without the address
    }
    view_.appendStatusText(".");
    watchForSilence();
    queueMessage(programRequest(static_cast<std::uint8_t>(deviceIndex_),
                                static_cast<unsigned>(requestedProgramIndex_)));
    // What came so far belongs to the lost answer.
    commState_ = kStateRequestSent;
}

void DeviceLink::reportWriteFailure(const WriteProgress& failure) {
    // A program the unit got whole is not "incomplete", nor one verified "unchanged",
    // whatever the count of the last messages says: the line says what the unit was sent
    // of the program in hand, or else of the one written last.
    int program = unitContents_.lastWritten();
    if (restore_.active() && restore_.current() != nullptr) {
        program = restore_.current()->programNumber;
    }
    if (program > 0 && unitContents_.holds(program) != UnitHolds::kIncomplete) {
        endWithFailure("Sending failed: " + unitContents_.sentence(program) + ".", true);
        return;
    }
    if (failure.total == 0) {
        endWithFailure(
            "Sending failed before any Program Data went out. The program in the VRX is "
            "unchanged.",
            true);
        return;
    }
    unitContents_.recordStoppedHalfway();
    // The write's status text already ends with a new line, unless the notice that the
    // program closes after the write came after it.
    endWithFailure(incompleteWriteLine("Sending failed", failure), exitAfterWrite_);
}

void DeviceLink::endWithFailure(const std::string& line, bool onNewLine) {
    failSequence(line);
    failure_ = line;
    operationMarker_ = kMarkerFailed;
    view_.appendStatusText((onNewLine ? kCrLf : "") + line);
    view_.showStatus();
    commState_ = kStateFinished;
    // A write's end may already be on screen: its result display runs again.
    lastHandledState_ = kStateIdle;
}

void DeviceLink::startBackup() {
    view_.appendStatusText(" ok");
    if (programCount_ < 1) {
        commState_ = kStateFinished;
        return;
    }
    backupProgram_ = 1;
    requestBackupProgram();
}

void DeviceLink::requestBackupProgram() {
    view_.setStatusText("Reading program " + std::to_string(backupProgram_) + " of " +
                        std::to_string(backupProgramCount()) + "..");
    requestProgramData(deviceIndex_, backupProgram_ - 1);
}

void DeviceLink::setActiveProgram(int n) {
    const int max = prompt_.maxProgramNumber();
    if (activeProgram_ < 1 || activeProgram_ > max) {
        activeProgram_ = 1;
    }
    if (n >= 1 && n <= max) {
        activeProgram_ = n;
    }
}

int DeviceLink::askProgramNumber(const std::string& title) {
    // A write proposes the program the editor holds from the unit, so that Enter does not
    // overwrite the one the console runs.
    const int proposed = operationMarker_ == kMarkerWrite ? programInEditor_ : 0;
    prompt_.open(title, dipSwitchProgram_, programCount_, kDeviceName, proposed);
    return view_.askProgramNumber(title, prompt_);
}

void DeviceLink::requestExitAfterWrite() {
    constexpr const char* kClosesAfterWrite = "VRXConfig closes when the write is done.";
    if (exitAfterWrite_) {
        return;
    }
    exitAfterWrite_ = true;
    view_.appendStatusText(std::string(kCrLf) + kClosesAfterWrite);
}

void DeviceLink::withdrawExitAfterFailedWrite() {
    constexpr const char* kStaysOpen =
        "VRXConfig stays open: write the program again before you exit.";
    // A program sent whole and only not read back is in the unit: the exit goes ahead.
    if (!exitAfterWrite_ || writeInProgress() ||
        (!unitContents_.stoppedHalfway() && !restore_.anyIncomplete())) {
        return;
    }
    exitAfterWrite_ = false;
    view_.appendStatusText(std::string(kCrLf) + kStaysOpen);
    view_.showStatus();
}

bool DeviceLink::unitOperationInProgress() const {
    switch (commState_) {
        case kStateWriting:
        case kStateAwaitingIdentity:
        case kStateRequestSent:
        case kStateReceiving:
        case kStateIdentityReceived:
        case kStatePromptPause:
            return true;
        default:
            return writeInProgress();
    }
}

}  // namespace vrx
