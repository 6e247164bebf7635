#include "ports/rtmidi_ports.h"

#include <algorithm>
#include <mutex>

#include "ports/jack_cycle.h"
#include "ports/rtmidi_maker.h"
#include "ports/sysex_joiner.h"
#include "protocol/midi_device_list.h"
#include "protocol/midi_setup.h"

namespace vrx {
namespace {

constexpr const char* kClientName = "VRXConfig";
constexpr const char* kInputPortName = "VRXConfig In";
constexpr const char* kOutputPortName = "VRXConfig Out";

#if defined(_WIN32)
// WinMM hands SysEx over in buffers of this size; its default is too small for a
// whole PROGRAM_RESPONSE, which then arrives in pieces.
constexpr unsigned kSysexBufferBytes = 4096;
constexpr unsigned kSysexBufferCount = 8;
#endif

// RtMidi reports through a callback once one is installed instead of throwing. The
// reports of the call in progress are kept here and turned into its result.
class ErrorCollector {
public:
    static void report(RtMidiError::Type /*type*/, const std::string& text, void* self) {
        auto* collector = static_cast<ErrorCollector*>(self);
        const std::lock_guard lock(collector->mutex_);
        collector->text_ = text;
    }
    void clear() {
        const std::lock_guard lock(mutex_);
        text_.clear();
    }
    std::string take() {
        const std::lock_guard lock(mutex_);
        std::string text;
        text.swap(text_);
        return text;
    }

private:
    std::mutex mutex_;
    std::string text_;
};

// One RtMidi object, made when first needed. A service found missing once stays
// missing for the run: asking again would only repeat the driver's complaints.
template <typename Midi>
class Client {
public:
    using Prepare = void (*)(Midi&, void* context);

    Client(MidiApi api, Prepare prepare, void* context)
        : api_(api), prepare_(prepare), context_(context) {}
    ~Client() {
        if (midi_) {
            midi_->closePort();
        }
    }

    Status ensure() {
        if (midi_) {
            return success();
        }
        if (!unavailable_.empty()) {
            return Status::failure(unavailable_);
        }
        auto made = makeRtMidi<Midi>(api_, kClientName);
        if (!made) {
            unavailable_ = made.error();
            return Status::failure(unavailable_);
        }
        midi_ = std::move(made).value();
        midi_->setErrorCallback(&ErrorCollector::report, &errors_);
        if (prepare_ != nullptr) {
            prepare_(*midi_, context_);
        }
        return success();
    }

    Result<int> count() {
        if (auto ready = ensure(); !ready) {
            return Result<int>::failure(ready.error());
        }
        errors_.clear();
        const unsigned count = midi_->getPortCount();
        if (auto error = errors_.take(); !error.empty()) {
            return Result<int>::failure(error);
        }
        return static_cast<int>(count);
    }

    Result<std::string> name(int port) {
        if (auto ready = ensure(); !ready) {
            return Result<std::string>::failure(ready.error());
        }
        errors_.clear();
        auto name = midi_->getPortName(static_cast<unsigned>(port));
        if (auto error = errors_.take(); !error.empty() && name.empty()) {
            return Result<std::string>::failure(error);
        }
        return name;
    }

    // RtMidi may fail to open without saying so: the port is checked afterwards. `what`
    // names the device as the MIDI I/O Setup dialog numbers it ("MIDI Out #2").
    Status open(int port, const char* portName, const std::string& what) {
        const auto ports = count();
        if (!ports) {
            return Status::failure(ports.error());
        }
        if (port < 0 || port >= *ports) {
            return Status::failure(what +
                                   " is no longer there: it was unplugged or switched "
                                   "off. Plug it in again, or choose another device in "
                                   "MIDI I/O Setup.");
        }
        const auto device = name(port);
        errors_.clear();
        midi_->openPort(static_cast<unsigned>(port), portName);
        if (!midi_->isPortOpen()) {
            // RtMidi's own words name its functions, not what the user can do.
            static_cast<void>(errors_.take());
            return Status::failure(what + (device ? " \"" + *device + "\"" : std::string()) +
                                   " could not be opened: another program may be using it, or "
                                   "it was just unplugged. Close other MIDI programs, check the "
                                   "cable, and choose it again in MIDI I/O Setup.");
        }
        return success();
    }

    void close() {
        if (midi_) {
            midi_->closePort();
        }
    }

    Midi* midi() { return midi_.get(); }
    ErrorCollector& errors() { return errors_; }

private:
    MidiApi api_;
    Prepare prepare_;
    void* context_;
    std::string unavailable_;
    ErrorCollector errors_;
    std::unique_ptr<Midi> midi_;  // last: destroyed first, which stops its thread
};

}  // namespace

struct RtMidiInput::Driver {
    Driver(MidiApi api, IncomingMailbox& mailbox)
        : mailbox_(mailbox), client_(api, &Driver::prepare, this) {}

    // Before the port opens: SysEx is dropped unless asked for, and clock and active
    // sensing are of no use here.
    static void prepare(RtMidiIn& midi, void* self) {
        midi.ignoreTypes(false, true, true);
        midi.setCallback(&Driver::onMessage, self);
    }

    // Runs on RtMidi's thread: copy the bytes and leave everything else to the
    // user-interface thread.
    static void onMessage(double /*timeStamp*/, std::vector<unsigned char>* message, void* self) {
        auto* driver = static_cast<Driver*>(self);
        if (message == nullptr || message->empty()) {
            return;
        }
#if defined(_WIN32)
        for (auto& complete : driver->joiner_.add(*message)) {
            driver->mailbox_.post(std::move(complete));
        }
#else
        driver->mailbox_.post(Bytes(message->begin(), message->end()));
#endif
    }

    IncomingMailbox& mailbox_;
    SysexJoiner joiner_;  // touched only on RtMidi's thread
    Client<RtMidiIn> client_;
};

RtMidiInput::RtMidiInput(std::function<void()> notifier, MidiApi api)
    : mailbox_(std::move(notifier)), driver_(std::make_unique<Driver>(api, mailbox_)) {}

RtMidiInput::~RtMidiInput() {
    // Closing the port joins the driver's thread; taking the callback away while that
    // thread may still be in it would race with a message arriving.
    driver_->client_.close();
    if (auto* midi = driver_->client_.midi()) {
        midi->cancelCallback();
    }
}

Result<int> RtMidiInput::deviceCount() {
    return driver_->client_.count();
}

Result<std::string> RtMidiInput::deviceName(int device) {
    return driver_->client_.name(device);
}

Status RtMidiInput::openDevice(int device, std::size_t receiveBufferBytes) {
#if defined(_WIN32)
    if (auto ready = driver_->client_.ensure(); ready) {
        driver_->client_.midi()->setBufferSize(
            std::max<unsigned>(kSysexBufferBytes, static_cast<unsigned>(receiveBufferBytes)),
            kSysexBufferCount);
    }
#else
    static_cast<void>(receiveBufferBytes);
#endif
    return driver_->client_.open(device, kInputPortName,
                                 "MIDI In #" + std::to_string(inputPositionForDevice(device)));
}

void RtMidiInput::closeDevice() {
    driver_->client_.close();
}

void RtMidiInput::dispatchEvents() {
    deliver(mailbox_.takeAll());
}

struct RtMidiOutput::Driver {
    explicit Driver(MidiApi api) : api_(api), client_(api, nullptr, nullptr) {}
    MidiApi api_;
    Client<RtMidiOut> client_;
    std::unique_ptr<JackCycleWait> jackCycle_;  // made with the first send through JACK
};

RtMidiOutput::RtMidiOutput(MidiApi api) : driver_(std::make_unique<Driver>(api)) {}

RtMidiOutput::~RtMidiOutput() = default;

Result<int> RtMidiOutput::deviceCount() {
    return driver_->client_.count();
}

Result<std::string> RtMidiOutput::deviceName(int device) {
    if (device == kDefaultDevice) {
        if (auto ready = driver_->client_.ensure(); !ready) {
            return Result<std::string>::failure(ready.error());
        }
        return std::string(kDefaultOutputName);
    }
    return driver_->client_.name(device);
}

Status RtMidiOutput::openDevice(int device) {
    const int port = device == kDefaultDevice ? 0 : device;
    return driver_->client_.open(port, kOutputPortName,
                                 "MIDI Out #" + std::to_string(outputPositionForDevice(device)));
}

void RtMidiOutput::closeDevice() {
    driver_->client_.close();
}

Status RtMidiOutput::sendBytes(ByteView message) {
    auto* midi = driver_->client_.midi();
    if (midi == nullptr) {
        return Status::failure("the MIDI output is not open");
    }
    driver_->client_.errors().clear();
    midi->sendMessage(message.data(), message.size());
    if (auto error = driver_->client_.errors().take(); !error.empty()) {
        return Status::failure(error);
    }
    if (driver_->api_ == MidiApi::kJack) {
        if (!driver_->jackCycle_) {
            driver_->jackCycle_ = std::make_unique<JackCycleWait>();
        }
        driver_->jackCycle_->untilNextCycleRan();
    }
    return success();
}

}  // namespace vrx
