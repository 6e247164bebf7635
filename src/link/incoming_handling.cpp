// The input side of the device link: what arrives from the unit and what it changes.
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
    programComplete();
}

void DeviceLink::programComplete() {
    const auto& data = receivedProgramData_.data();
    if (sequenceStep_ == SequenceStep::kReadingBack) {
        readBackComplete(data);
    } else if (operationMarker_ == kMarkerLoad) {
        if (handToEditor_) {
            view_.decodeIntoEditor(data);
        } else {
            view_.programRead(activeProgram_, data);
        }
        queueMessage(vrxReboot(static_cast<std::uint8_t>(deviceIndex_)));
        commState_ = kStateFinished;
    } else if (operationMarker_ == kMarkerBackup) {
        view_.programRead(backupProgram_, data);
        if (backupProgram_ < backupProgramCount() && !backupCancelRequested_) {
            ++backupProgram_;
            requestBackupProgram();
        } else {
            queueMessage(vrxReboot(static_cast<std::uint8_t>(deviceIndex_)));
            commState_ = kStateFinished;
        }
    }
}

}  // namespace vrx
