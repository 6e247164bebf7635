#include "ports/rtmidi_ports.h"

#include <RtMidi.h>

#include <algorithm>
#include <mutex>

#include "ports/sysex_joiner.h"

namespace vrx {
namespace {

// Ask for the platform's own service by name. Left unspecified, RtMidi may pick JACK,
// whose backend crashes when no JACK server is running.
#if defined(_WIN32)
constexpr RtMidi::Api kPlatformApi = RtMidi::WINDOWS_MM;
#elif defined(__APPLE__)
constexpr RtMidi::Api kPlatformApi = RtMidi::MACOSX_CORE;
#else
constexpr RtMidi::Api kPlatformApi = RtMidi::LINUX_ALSA;
#endif

constexpr const char* kClientName = "VRXConfig";
constexpr const char* kInputPortName = "VRXConfig In";
constexpr const char* kOutputPortName = "VRXConfig Out";
constexpr const char* kDefaultOutputName = "Default MIDI output";

#if defined(_WIN32)
// WinMM hands SysEx over in buffers of this size; its default is too small for a
// whole PROGRAM_RESPONSE, which then arrives in pieces.
constexpr unsigned kSysexBufferBytes = 4096;
constexpr unsigned kSysexBufferCount = 8;
#endif

bool platformApiCompiled() {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::ranges::find(apis, kPlatformApi) != apis.end();
}

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

template <typename Midi>
Result<std::unique_ptr<Midi>> createMidi(ErrorCollector& errors) {
    if (!platformApiCompiled()) {
        return Result<std::unique_ptr<Midi>>::failure(
            "this RtMidi was built without the platform's MIDI service");
    }
    try {
        auto midi = std::make_unique<Midi>(kPlatformApi, kClientName);
        midi->setErrorCallback(&ErrorCollector::report, &errors);
        return midi;
    } catch (const RtMidiError& error) {
        // No MIDI service on this machine (no ALSA sequencer, say).
        return Result<std::unique_ptr<Midi>>::failure(error.getMessage());
    } catch (const std::exception& error) {
        return Result<std::unique_ptr<Midi>>::failure(error.what());
    }
}

template <typename Midi>
Result<int> countPorts(Midi& midi, ErrorCollector& errors) {
    errors.clear();
    const unsigned count = midi.getPortCount();
    if (auto error = errors.take(); !error.empty()) {
        return Result<int>::failure(error);
    }
    return static_cast<int>(count);
}

template <typename Midi>
Result<std::string> portName(Midi& midi, ErrorCollector& errors, int device) {
    errors.clear();
    auto name = midi.getPortName(static_cast<unsigned>(device));
    if (auto error = errors.take(); !error.empty() && name.empty()) {
        return Result<std::string>::failure(error);
    }
    return name;
}

Status openFailure(ErrorCollector& errors, const std::string& what) {
    auto error = errors.take();
    return Status::failure(error.empty() ? what : what + ": " + error);
}

}  // namespace

struct RtMidiInput::Driver {
    explicit Driver(IncomingMailbox& mailbox) : mailbox_(mailbox) {}

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
    ErrorCollector errors_;
    std::unique_ptr<RtMidiIn> midi_;  // last: destroyed first, which stops its thread
};

RtMidiInput::RtMidiInput(std::function<void()> notifier) : mailbox_(std::move(notifier)) {}

RtMidiInput::~RtMidiInput() {
    if (driver_ && driver_->midi_) {
        driver_->midi_->cancelCallback();
        driver_->midi_->closePort();
    }
}

Status RtMidiInput::ensureDriver() {
    if (driver_) {
        return success();
    }
    if (!unavailable_.empty()) {
        return Status::failure(unavailable_);
    }
    auto driver = std::make_unique<Driver>(mailbox_);
    auto midi = createMidi<RtMidiIn>(driver->errors_);
    if (!midi) {
        unavailable_ = midi.error();
        return Status::failure(midi.error());
    }
    driver->midi_ = std::move(midi).value();
    // SysEx is dropped unless asked for before the port opens; clock and active
    // sensing are of no use here.
    driver->midi_->ignoreTypes(false, true, true);
    driver->midi_->setCallback(&Driver::onMessage, driver.get());
    driver_ = std::move(driver);
    return success();
}

Result<int> RtMidiInput::deviceCount() {
    if (auto ready = ensureDriver(); !ready) {
        return Result<int>::failure(ready.error());
    }
    return countPorts(*driver_->midi_, driver_->errors_);
}

Result<std::string> RtMidiInput::deviceName(int device) {
    if (auto ready = ensureDriver(); !ready) {
        return Result<std::string>::failure(ready.error());
    }
    return portName(*driver_->midi_, driver_->errors_, device);
}

Status RtMidiInput::openDevice(int device, std::size_t receiveBufferBytes) {
    const auto count = deviceCount();
    if (!count) {
        return Status::failure(count.error());
    }
    if (device < 0 || device >= *count) {
        return Status::failure("there is no MIDI input device " + std::to_string(device));
    }
    auto& midi = *driver_->midi_;
#if defined(_WIN32)
    midi.setBufferSize(std::max<unsigned>(kSysexBufferBytes, receiveBufferBytes),
                       kSysexBufferCount);
#else
    static_cast<void>(receiveBufferBytes);
#endif
    driver_->errors_.clear();
    midi.openPort(static_cast<unsigned>(device), kInputPortName);
    if (!midi.isPortOpen()) {
        return openFailure(driver_->errors_, "the MIDI input could not be opened");
    }
    return success();
}

void RtMidiInput::closeDevice() {
    if (driver_) {
        driver_->midi_->closePort();
    }
}

void RtMidiInput::dispatchEvents() {
    deliver(mailbox_.takeAll());
}

struct RtMidiOutput::Driver {
    ErrorCollector errors_;
    std::unique_ptr<RtMidiOut> midi_;
};

RtMidiOutput::RtMidiOutput() = default;

RtMidiOutput::~RtMidiOutput() {
    if (driver_ && driver_->midi_) {
        driver_->midi_->closePort();
    }
}

Status RtMidiOutput::ensureDriver() {
    if (driver_) {
        return success();
    }
    if (!unavailable_.empty()) {
        return Status::failure(unavailable_);
    }
    auto driver = std::make_unique<Driver>();
    auto midi = createMidi<RtMidiOut>(driver->errors_);
    if (!midi) {
        unavailable_ = midi.error();
        return Status::failure(midi.error());
    }
    driver->midi_ = std::move(midi).value();
    driver_ = std::move(driver);
    return success();
}

Result<int> RtMidiOutput::deviceCount() {
    if (auto ready = ensureDriver(); !ready) {
        return Result<int>::failure(ready.error());
    }
    return countPorts(*driver_->midi_, driver_->errors_);
}

Result<std::string> RtMidiOutput::deviceName(int device) {
    if (auto ready = ensureDriver(); !ready) {
        return Result<std::string>::failure(ready.error());
    }
    if (device == kDefaultDevice) {
        return std::string(kDefaultOutputName);
    }
    return portName(*driver_->midi_, driver_->errors_, device);
}

Status RtMidiOutput::openDevice(int device) {
    const auto count = deviceCount();
    if (!count) {
        return Status::failure(count.error());
    }
    const int port = device == kDefaultDevice ? 0 : device;
    if (port < 0 || port >= *count) {
        return Status::failure("there is no MIDI output device " + std::to_string(device));
    }
    auto& midi = *driver_->midi_;
    driver_->errors_.clear();
    midi.openPort(static_cast<unsigned>(port), kOutputPortName);
    if (!midi.isPortOpen()) {
        return openFailure(driver_->errors_, "the MIDI output could not be opened");
    }
    return success();
}

void RtMidiOutput::closeDevice() {
    if (driver_) {
        driver_->midi_->closePort();
    }
}

Status RtMidiOutput::sendBytes(ByteView message) {
    if (!driver_) {
        return Status::failure("the MIDI output is not open");
    }
    driver_->errors_.clear();
    driver_->midi_->sendMessage(message.data(), message.size());
    if (auto error = driver_->errors_.take(); !error.empty()) {
        return Status::failure(error);
    }
    return success();
}

}  // namespace vrx
