#include "link/output_queue.h"

#include <algorithm>
#include <array>

#include "protocol/hex_text.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

// Clock, active sensing and the undefined F9 would flood the handlers; they are kept
// out while the input is open.
constexpr std::array<std::uint8_t, 3> kFilteredStatuses = {0xF9, 0xFE, 0xF8};
constexpr std::string_view kOutputErrorLogLine = "MIDI error opening MIDI tx stream.";
constexpr std::string_view kInputErrorLogLine = "MIDI error opening MIDI rx stream (input).";

}  // namespace

OutputQueue::OutputQueue(MidiInput& input, MidiOutput& output, MidiSetup& setup, LinkView& view,
                         const Clock& clock)
    : input_(input), output_(output), setup_(setup), view_(view), clock_(clock) {
    output_.setErrorHandler(
        [this](int code, const std::string& message) { midiOut_Error(code, message); });
    output_.setQueueEmptyHandler([this] { midiOut_QueueEmpty(); });
}

void OutputQueue::queueMessage(ByteView message) {
    if (!portsOpen_) {
        ensurePortsOpen();
    }
    midiOutQueue_.push_back(bytesToHexText(message));
    pacedFlags_.push_back(false);
}

void OutputQueue::queuePacedMessage(ByteView message) {
    queueMessage(message);
    pacedFlags_.back() = true;
    ++pacedItems_;
}

Status OutputQueue::sendHexMessage(std::string_view hexText) {
    auto bytes = hexTextToBytes(hexText);
    if (!bytes) {
        return Status::failure(bytes.error());
    }
    if (bytes->empty() || bytes->back() != kSysexEnd) {
        bytes.value().push_back(kSysexEnd);
    }
    queueMessage(*bytes);
    return success();
}

void OutputQueue::ensurePortsOpen() {
    if (portsOpen_) {
        return;
    }
    const int outputs = deviceCountOrZero(output_);
    const int inputs = deviceCountOrZero(input_);
    // Devices may have gone since they were chosen: fall back to the first one.
    if (setup_.portOutDevice > outputs + 1) {
        setup_.portOutDevice = outputs >= 1 ? 1 : 0;
    }
    if (setup_.portInDevice > inputs) {
        setup_.portInDevice = inputs >= 1 ? 1 : 0;
    }
    if (setup_.portInDevice != 0 && setup_.portOutDevice != 0) {
        midiOutQueue_.emplace_back(kOpenPortsItem);
        pacedFlags_.push_back(false);
        portsOpen_ = true;
    }
}

void OutputQueue::markWriteEnd(int count, bool endsExchange) {
    writeEndQueued_ = true;
    showDone_ = endsExchange;
    doneOnItsOwnLine_ = false;
    writeMessages_ = count;
    writeMessagesSent_ = 0;
    itemsBeforeWrite_ = static_cast<int>(
        std::count_if(midiOutQueue_.begin(), midiOutQueue_.end() - count,
                      [](const std::string& item) { return item != kOpenPortsItem; }));
}

void OutputQueue::pumpOutputQueue(bool writing, bool stopOnFailure) {
    if (midiOutQueue_.empty()) {
        return;
    }
    const std::string item = midiOutQueue_.front();
    if (item == kOpenPortsItem) {
        startInput();
        openOutput();
        input_.start();
        popFront();
        return;
    }
    const bool paced = writing || pacedFlags_.front();
    const bool sent = sendItem(item);
    if ((paced || stopOnFailure) && !sent) {
        stopWriteAfterFailure();
        return;
    }
    if (paced) {
        pausedUntilMs_ = clock_.nowMs() + kWritePauseMs;
        pauseTicksLeft_ = kWritePauseTicks;
        if (itemsBeforeWrite_ > 0) {
            --itemsBeforeWrite_;
        } else if (writeEndQueued_) {
            ++writeMessagesSent_;
        }
        if (midiOutQueue_.size() == 1 && writeEndQueued_) {
            // The write's last message has gone out: the unit has all it needs.
            writeEndQueued_ = false;
            if (showDone_) {
                view_.showStatus();
            }
            view_.appendStatusText(doneOnItsOwnLine_ ? "\r\nDone." : "Done.");
            doneOnItsOwnLine_ = false;
        }
    }
    popFront();
}

void OutputQueue::popFront() {
    midiOutQueue_.pop_front();
    if (pacedFlags_.front()) {
        --pacedItems_;
    }
    pacedFlags_.pop_front();
}

void OutputQueue::stopWriteAfterFailure() {
    sendFailure_ = writeProgress();
    writeEndQueued_ = false;
    itemsBeforeWrite_ = 0;
    midiOutQueue_.clear();
    pacedFlags_.clear();
    pacedItems_ = 0;
}

bool OutputQueue::pauseHoldsTick() {
    if (pauseTicksLeft_ == 0) {
        return false;
    }
    // A timer that fell behind fires its late ticks in a burst, and one that ticks out
    // of step with the send fires its sixth tick short of 600 ms: the unit drops a block
    // that arrives too soon. So the pause also lasts on the clock, to the millisecond.
    if (--pauseTicksLeft_ == 0 && clock_.nowMs() < pausedUntilMs_) {
        pauseTicksLeft_ = 1;
    }
    return pauseTicksLeft_ > 0;
}

bool OutputQueue::sendItem(const std::string& item) {
    const auto bytes = hexTextToBytes(item);
    if (!bytes) {
        return false;
    }
    const bool wasOpen = output_.state() >= kPortOpen;
    const auto sent = output_.sendSysex(*bytes);
    if (sent && trafficTap_) {
        trafficTap_(TrafficDirection::kOut, *bytes);
    }
    if (!sent) {
        midiOut_Error(wasOpen ? kMidiErrorDevice : kMidiErrorPortClosed, sent.error());
    }
    return sent.ok();
}

void OutputQueue::switchFilters(bool on) {
    for (const auto status : kFilteredStatuses) {
        input_.setStatusFilter(status, on);
    }
}

void OutputQueue::startInput() {
    input_.setReceiveBufferSize(kReceiveBufferBytes);
    if (input_.state() >= kPortOpen) {
        input_.close();
        switchFilters(false);
    }
    const int inputs = deviceCountOrZero(input_);
    if (setup_.portInDevice >= 1 && setup_.portInDevice <= inputs) {
        input_.selectDevice(inputDeviceForPosition(setup_.portInDevice));
    }
    const auto opened = input_.open();
    if (!opened) {
        // The log names the input, so a failing input is not taken for the output.
        view_.writeLog(kInputErrorLogLine);
        view_.showMessage(opened.error());
    }
    switchFilters(true);
}

void OutputQueue::stopInput() {
    if (input_.state() >= kPortOpen) {
        input_.close();
        switchFilters(false);
    }
    portsOpen_ = false;
}

void OutputQueue::openOutput() {
    if (output_.state() >= kPortOpen || output_.selectedDevice() == MidiOutput::kDefaultDevice) {
        output_.close();
    }
    if (setup_.portOutDevice > 0) {
        output_.selectDevice(outputDeviceForPosition(setup_.portOutDevice));
        const auto opened = output_.open();
        if (!opened) {
            midiOut_Error(kMidiErrorDevice, opened.error());
        }
    }
}

void OutputQueue::closePorts() {
    if (input_.state() > kPortClosed && input_.state() != kPortOpen) {
        input_.stop();
    }
    if (input_.state() > kPortClosed) {
        input_.close();
    }
    output_.close();
}

void OutputQueue::midiOut_Error(int code, std::string_view message) {
    view_.writeLog(kOutputErrorLogLine);
    if (code != kMidiErrorWarning && code != kMidiErrorPortClosed) {
        view_.showMessage(std::string(message));
    }
}

void OutputQueue::midiOut_QueueEmpty() {
    output_.stop();
}

}  // namespace vrx
