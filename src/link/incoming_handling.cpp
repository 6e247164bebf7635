// The input side of the device link: what arrives from the unit and what it changes.
#include <algorithm>
#include <optional>

#include "link/device_link.h"
#include "link/traffic_names.h"
#include "protocol/hex_text.h"
#include "protocol/messages.h"

namespace vrx {

void DeviceLink::midiIn_Message() {
    if (busyDepth_ > 0 || queue_.paused()) {
        inputDeferred_ = true;
        return;
    }
    runGuarded([this] { drainInput(); });
}

void DeviceLink::setTrafficTap(TrafficTap tap) {
    // The queue's own tap records what the unit was sent, then hands on to this one.
    trafficTap_ = std::move(tap);
}

void DeviceLink::drainInput() {
    inputDeferred_ = false;
    while (input_.queuedMessageCount() > 0) {
        // A copy: handling may close the input, which empties its queue.
        const MidiMessage current = input_.currentMessage();
        if (trafficTap_) {
            trafficTap_(TrafficDirection::kIn, messageBytes(current));
        }
        if (!current.sysex.empty()) {
            handleSysexMessage(current.sysex);
        }
        input_.removeCurrentMessage();
    }
}

void DeviceLink::handleSysexMessage(ByteView message) {
    if (isManufacturerMessage(message)) {
        // Our own TAG MESSAGE, requests, updates and reboots coming back on a MIDI loop
        // end here with every other manufacturer message.
        if (isProgramResponse(message)) {
            receiveProgramResponse(message);
        }
        return;
    }
    if (isIdentityReply(message) && commState_ == kStateAwaitingIdentity) {
        // A reply too short to hold its fields tells nothing about the unit.
        const auto reply = parseIdentityReply(message);
        if (!reply) {
            return;
        }
        dipSwitchProgram_ = reply->dipSwitchProgram;
        programCount_ = reply->programCount;
        firmwareVersionByte_ = reply->firmwareVersionByte;
        firmwareVersionText_ = reply->firmwareVersionText;
        identityStep();
    }
}

void DeviceLink::receiveProgramResponse(ByteView message) {
    if (commState_ == kStateRequestSent) {
        receivedProgramData_.restart(expectedLength_);
    }
    if (commState_ != kStateRequestSent && commState_ != kStateReceiving) {
        return;
    }
    // While the request still waits in the queue, nothing can answer it yet.
    const bool requestStillQueued =
        commState_ == kStateRequestSent && !queue_.midiOutQueue().empty();
    if (requestStillQueued || partOfAnotherAnswer(message)) {
        // Owed to an earlier request, or another unit's: this request still waits.
        lateAnswersOwed_ = std::max(lateAnswersOwed_ - 1, 0);
        return;
    }
    silentTicks_ = 0;
    commState_ = kStateReceiving;
    if (discardingAnswer_) {
        return;  // the rest of a spoilt answer; the request is asked again when it is over
    }
    // A response too short to hold its header carries no data; it still counts as the
    // first answer to the request.
    const auto unpacked = receivedProgramData_.append(message);
    if (!unpacked.badPositions.empty()) {
        // A damaged byte would shift everything after it: the whole answer is thrown
        // away and asked for again once the unit has finished sending it.
        view_.writeLog("Error in conversion at pos " +
                       std::to_string(unpacked.badPositions.front()) + ": " +
                       bytesToHexText(programResponsePayload(message)));
        receivedProgramData_.restart(expectedLength_);
        discardingAnswer_ = true;
        return;
    }
    if (!receivedProgramData_.complete()) {
        return;
    }
    if (answerForAnEarlierRequest(receivedProgramData_.data())) {
        receivedProgramData_.restart(expectedLength_);
        commState_ = kStateRequestSent;
        return;
    }
    programComplete();
}

namespace {

// The three bytes after the command, read as the 7-bit address they carry when the unit
// fills them in; nullopt when the response is too short to hold them.
std::optional<unsigned> responseAddress(ByteView message) {
    if (message.size() <= kResponseHeaderBytes) {
        return std::nullopt;
    }
    unsigned address = 0;
    for (std::size_t i = kResponseHeaderBytes; i-- > kResponseHeaderBytes - 3;) {
        address = (address << 7) | (message[i] & 0x7F);
    }
    return address;
}

}  // namespace

bool DeviceLink::partOfAnotherAnswer(ByteView message) {
    const auto address = responseAddress(message);
    if (!address) {
        return false;
    }
    const auto expected = pageAddress(static_cast<unsigned>(requestedProgramIndex_)) +
                          static_cast<unsigned>(receivedProgramData_.data().size());
    if (*address == expected) {
        unitFillsInAddress_ = unitFillsInAddress_ || expected != 0;
        unitLeavesAddressOut_ = unitLeavesAddressOut_ && !unitFillsInAddress_;
        return false;
    }
    if (unitLeavesAddressOut_) {
        return false;
    }
    if (unitFillsInAddress_) {
        return true;  // it names another program than the one asked for
    }
    const int programs = programCount_ > 0 ? addressableProgramCount() : kMaxAddressableProgram;
    if (*address >= pageAddress(static_cast<unsigned>(programs))) {
        // No place in the unit: these bytes are not an address. The unit uses them its
        // own way, and the link goes by the order of the answers alone.
        unitLeavesAddressOut_ = true;
        return false;
    }
    if (*address != 0) {
        return true;  // another program's, late or from another unit
    }
    // Zeros: another answer, or a unit that leaves the bytes out. Until the unit is
    // known to, the part waits for the request to be asked again.
    ++unaddressedParts_;
    return true;
}

// A unit answers its requests in order, so an answer the link asked for again may come
// twice, the second time while the link waits for the next program. Those bytes are
// then the same as a program already taken: such an answer is dropped as long as such
// copies are owed. Is it really the next program holding the same bytes, the request
// is asked again and answered once more.
bool DeviceLink::answerForAnEarlierRequest(ByteView programData) {
    if (lateAnswersOwed_ == 0) {
        return false;
    }
    const Bytes data(programData.begin(), programData.begin() + kProgramBytes);
    if (std::ranges::find(answeredPrograms_, data) == answeredPrograms_.end()) {
        return false;
    }
    --lateAnswersOwed_;
    return true;
}

void DeviceLink::moveToNextRequest(ByteView accepted) {
    lateAnswersOwed_ += requestRetries_;
    answeredPrograms_.emplace_back(accepted.begin(), accepted.begin() + kProgramBytes);
}

void DeviceLink::programComplete() {
    const auto& data = receivedProgramData_.data();
    if (sequenceStep_ == SequenceStep::kReadingBack) {
        readBackComplete(data);
    } else if (operationMarker_ == kMarkerLoad) {
        if (handToEditor_) {
            view_.decodeIntoEditor(data);
            programInEditor_ = activeProgram_;
        } else {
            view_.programRead(activeProgram_, data);
        }
        queueMessage(vrxReboot(static_cast<std::uint8_t>(deviceIndex_)));
        commState_ = kStateFinished;
    } else if (operationMarker_ == kMarkerBackup) {
        view_.programRead(backupProgram_, data);
        if (backupProgram_ < backupProgramCount() && !backupCancelRequested_) {
            moveToNextRequest(data);
            ++backupProgram_;
            requestBackupProgram();
        } else {
            queueMessage(vrxReboot(static_cast<std::uint8_t>(deviceIndex_)));
            commState_ = kStateFinished;
        }
    }
}

}  // namespace vrx
