#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <string>

#include "link/link_view.h"
#include "protocol/bytes.h"
#include "protocol/clock.h"
#include "protocol/midi_port.h"
#include "protocol/midi_setup.h"

namespace vrx {

// Nothing goes to the MIDI output directly: messages wait here as hex text and leave
// one per timer tick, which is the pace the unit can follow. The same queue carries
// the item that (re)opens the ports, so they open in order with the messages.
class OutputQueue {
public:
    static constexpr std::string_view kOpenPortsItem = "r";
    static constexpr std::size_t kReceiveBufferBytes = 300;
    // The unit needs this long to store what a write sends it.
    static constexpr std::int64_t kWritePauseMs = 600;

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
    void pumpOutputQueue(bool writing);

    void startInput();
    void stopInput();
    void openOutput();
    void closePorts();

    void midiOut_Error(int code, std::string_view message);
    void midiOut_QueueEmpty();

    // The messages of a write are all queued: "Done." follows the last of them.
    void markWriteEnd() { writeEndQueued_ = true; }

    // While a write's pause lasts, the timer and the input wait. The tick due at the
    // very moment the pause ends still finds the timer busy.
    bool paused(std::int64_t nowMs) const { return nowMs <= pausedUntilMs_; }
    std::int64_t pausedUntilMs() const { return pausedUntilMs_; }

    bool portsOpen() const { return portsOpen_; }
    const std::deque<std::string>& midiOutQueue() const { return midiOutQueue_; }
    int portInDevice() const { return setup_.portInDevice; }
    int portOutDevice() const { return setup_.portOutDevice; }

private:
    void switchFilters(bool on);
    void sendItem(const std::string& item);

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
    std::int64_t pausedUntilMs_ = std::numeric_limits<std::int64_t>::min();
};

}  // namespace vrx
