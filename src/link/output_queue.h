#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "link/link_view.h"
#include "link/traffic_tap.h"
#include "protocol/bytes.h"
#include "protocol/clock.h"
#include "protocol/midi_port.h"
#include "protocol/midi_setup.h"

namespace vrx {

struct WriteProgress {
    int sent;   // of the write's messages, before the one that failed
    int total;  // the write's messages; 0 before they are queued
};

// Nothing goes to the MIDI output directly: messages wait here as hex text and leave
// one per timer tick, which is the pace the unit can follow. The same queue carries
// the item that (re)opens the ports, so they open in order with the messages.
class OutputQueue {
public:
    static constexpr std::string_view kOpenPortsItem = "r";
    static constexpr std::size_t kReceiveBufferBytes = 300;
    // The unit needs this long to store what a write sends it: six timer ticks of
    // 100 ms, and never less on the clock. The program's timer is set in step with each
    // message it sends, so the sixth tick comes due as the pause ends.
    static constexpr std::int64_t kWritePauseMs = 600;
    static constexpr int kWritePauseTicks = 6;

    OutputQueue(MidiInput& input, MidiOutput& output, MidiSetup& setup, LinkView& view,
                const Clock& clock);
    OutputQueue(const OutputQueue&) = delete;
    OutputQueue& operator=(const OutputQueue&) = delete;

    void queueMessage(ByteView message);
    // A message that stores something in the unit: the pause follows it whatever the
    // link is doing, so a restore's reads are not slowed by its writes' pacing.
    void queuePacedMessage(ByteView message);
    bool pacedMessagesQueued() const { return pacedItems_ > 0; }
    // Converts hex text, ends it with F7 when it does not end so, and queues it.
    Status sendHexMessage(std::string_view hexText);
    void ensurePortsOpen();
    // Sends the first item. `writing`: a unit is being written, so every message is
    // followed by the pause.
    // `stopOnFailure`: a failed send ends what is queued even when it is not paced, as
    // a read-back after a write cannot go on without its requests.
    void pumpOutputQueue(bool writing, bool stopOnFailure = false);

    void startInput();
    void stopInput();
    void openOutput();
    void closePorts();

    void midiOut_Error(int code, std::string_view message);
    void midiOut_QueueEmpty();

    // The last `count` messages queued are a write's: "Done." follows the last of them.
    // When they end the whole exchange the status window comes back for it, should the
    // user have closed it meanwhile.
    void markWriteEnd(int count, bool endsExchange = false);
    // Something was said after the write's heading: "Done." goes on a line of its own.
    void putDoneOnItsOwnLine() { doneOnItsOwnLine_ = true; }
    // How far the write is: its messages sent so far, of how many. Both are 0 until
    // the write's messages are queued.
    WriteProgress writeProgress() const {
        return writeEndQueued_ ? WriteProgress{writeMessagesSent_, writeMessages_}
                               : WriteProgress{0, 0};
    }
    // When a message of a write cannot be sent the queue is emptied at once: nothing may
    // follow a block the unit did not get.
    // The failure of the write since the last call, if one failed.
    std::optional<WriteProgress> takeSendFailure() { return std::exchange(sendFailure_, {}); }

    // Told of every message that leaves for the output.
    void setTrafficTap(TrafficTap tap) { trafficTap_ = std::move(tap); }

    // While a write's pause lasts, the timer and the input wait.
    bool paused() const { return pauseTicksLeft_ > 0; }
    // Counts one timer tick against the pause: true while the pause still holds the
    // tick back. The sixth tick after a message ends the pause and runs.
    bool pauseHoldsTick();
    // When the pause ends on the clock, for a driver that wants to tick right then.
    std::int64_t pausedUntilMs() const { return pausedUntilMs_; }

    bool portsOpen() const { return portsOpen_; }
    const std::deque<std::string>& midiOutQueue() const { return midiOutQueue_; }
    int portInDevice() const { return setup_.portInDevice; }
    int portOutDevice() const { return setup_.portOutDevice; }

private:
    void switchFilters(bool on);
    // False when the output refused the message.
    bool sendItem(const std::string& item);
    void stopWriteAfterFailure();
    void popFront();

    MidiInput& input_;
    MidiOutput& output_;
    MidiSetup& setup_;
    LinkView& view_;
    const Clock& clock_;
    std::deque<std::string> midiOutQueue_;
    std::deque<bool> pacedFlags_;  // beside each item of midiOutQueue_
    int pacedItems_ = 0;
    bool portsOpen_ = false;
    bool writeEndQueued_ = false;
    bool doneOnItsOwnLine_ = false;
    bool showDone_ = false;
    int itemsBeforeWrite_ = 0;
    int writeMessages_ = 0;
    int writeMessagesSent_ = 0;
    std::optional<WriteProgress> sendFailure_;
    std::int64_t pausedUntilMs_ = std::numeric_limits<std::int64_t>::min();
    TrafficTap trafficTap_;
    int pauseTicksLeft_ = 0;
};

}  // namespace vrx
