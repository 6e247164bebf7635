#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx {

// One message taken from the input: a complete SysEx message (F0 to F7), or empty SysEx
// bytes and the status and data bytes of a short message.
struct MidiMessage {
    Bytes sysex;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

// Input port states as the link reads them.
constexpr int kPortClosed = 0;
constexpr int kPortOpen = 1;
constexpr int kPortReceiving = 2;

// The input side of a MIDI device. Everything here runs on the user-interface thread;
// a backend whose driver calls back on another thread keeps what arrives until
// `dispatchEvents` runs there.
class MidiInput {
public:
    virtual ~MidiInput() = default;

    // Fails when the platform's MIDI service is missing.
    virtual Result<int> deviceCount() = 0;
    virtual Result<std::string> deviceName(int device) = 0;

    void selectDevice(int device) { selected_ = device; }
    int selectedDevice() const { return selected_; }
    void setReceiveBufferSize(std::size_t bytes) { receiveBufferBytes_ = bytes; }

    Status open();
    void start();  // delivery begins
    void stop();   // delivery ends; the port stays open
    void close();
    int state() const { return state_; }

    // Real-time bytes with their filter on never reach the receive queue.
    void setStatusFilter(std::uint8_t status, bool on);

    std::size_t queuedMessageCount() const { return received_.size(); }
    const MidiMessage& currentMessage() const { return received_.front(); }
    void removeCurrentMessage();

    // The Message event: raised whenever messages have been added to the queue.
    void setMessageHandler(std::function<void()> handler) { messageHandler_ = std::move(handler); }

    // Takes in what the driver has delivered since the last call and raises Message.
    virtual void dispatchEvents() {}

protected:
    virtual Status openDevice(int device, std::size_t receiveBufferBytes) = 0;
    virtual void closeDevice() = 0;
    virtual void startDevice() {}
    virtual void stopDevice() {}

    // Queues messages read from the wire (F0..F7, or a status byte and its data) and
    // raises Message. Nothing is kept unless the port is receiving.
    void deliver(const std::vector<Bytes>& messages);

private:
    int selected_ = 0;
    std::size_t receiveBufferBytes_ = 0;
    int state_ = kPortClosed;
    std::set<std::uint8_t> filtered_;
    std::deque<MidiMessage> received_;
    std::function<void()> messageHandler_;
};

// Codes of the output's Error event. A warning, and a message handed to an output that
// was never opened, are only written to the log; the others are shown to the user.
constexpr int kMidiErrorWarning = 0;
constexpr int kMidiErrorDevice = 1;
constexpr int kMidiErrorPortClosed = 8;

// The output side. Device -1 is the system's default output, listed before the devices.
class MidiOutput {
public:
    static constexpr int kDefaultDevice = -1;

    virtual ~MidiOutput() = default;

    virtual Result<int> deviceCount() = 0;  // not counting the default output
    virtual Result<std::string> deviceName(int device) = 0;

    void selectDevice(int device) { selected_ = device; }
    int selectedDevice() const { return selected_; }

    Status open();
    void close();
    int state() const { return state_; }

    // The whole message from F0 to F7. Fails on an output that is not open, and on one
    // whose device is no longer listed, before or after the send: ALSA takes messages
    // for a port with no one behind it without a word, so a pulled cable would pass
    // for a write that went out.
    Status sendSysex(ByteView message);
    // Issued when the output reports its queue empty; later sends need no reopening.
    void stop() { stopDevice(); }

    void setErrorHandler(std::function<void(int code, std::string message)> handler) {
        errorHandler_ = std::move(handler);
    }
    void setQueueEmptyHandler(std::function<void()> handler) {
        queueEmptyHandler_ = std::move(handler);
    }

    // Raises QueueEmpty once everything sent since the last call has gone out.
    virtual void dispatchEvents();

protected:
    virtual Status openDevice(int device) = 0;
    virtual void closeDevice() = 0;
    virtual Status sendBytes(ByteView message) = 0;
    virtual void stopDevice() {}

    void raiseError(int code, std::string message);

private:
    // The name of the device behind the open output (the first device behind the
    // default output); empty when the backend could not name it.
    std::string nameOfOpenDevice();
    bool openDeviceListed();

    int selected_ = 0;
    int state_ = kPortClosed;
    std::string openName_;
    bool sentSinceDispatch_ = false;
    std::function<void(int, std::string)> errorHandler_;
    std::function<void()> queueEmptyHandler_;
};

// A failed device list counts as no devices where a number is all that is needed.
int deviceCountOrZero(MidiInput& input);
int deviceCountOrZero(MidiOutput& output);

}  // namespace vrx
