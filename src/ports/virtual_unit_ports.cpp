#include "ports/virtual_unit_ports.h"

#include <mutex>
#include <utility>

#include "ports/rtmidi_maker.h"
#include "protocol/clock.h"

namespace vrx {
namespace {

// What RtMidi reports goes into the result of the call that caused it, never to stderr.
void keepRtMidiReport(RtMidiError::Type /*type*/, const std::string& text, void* self) {
    if (self != nullptr) {
        *static_cast<std::string*>(self) = text;
    }
}

// The last listed port whose name holds ours as its port part: on ALSA "client:port
// 128:0", on JACK "client:port" with the client perhaps numbered.
template <typename Midi>
std::string listedName(Midi& lister, const std::string& name) {
    std::string found = name;
    for (unsigned port = 0; port < lister.getPortCount(); ++port) {
        const auto listed = lister.getPortName(port);
        const auto colon = listed.find(':');
        if (colon != std::string::npos && listed.compare(colon + 1, name.size(), name) == 0) {
            found = listed;
        }
    }
    return found;
}

}  // namespace

struct VirtualUnitPorts::Driver {
    // Runs on RtMidi's thread, as the message comes off the port.
    static void onMessage(double /*timeStamp*/, std::vector<unsigned char>* message, void* self) {
        if (message != nullptr && !message->empty()) {
            auto* driver = static_cast<Driver*>(self);
            const std::lock_guard lock(driver->mutex_);
            driver->received_.push_back(
                {driver->clock_.nowMs(), Bytes(message->begin(), message->end())});
        }
    }

    SteadyClock clock_;
    std::mutex mutex_;
    std::vector<Received> received_;
    std::string sendError_;  // RtMidi's report of the send in progress
    std::unique_ptr<RtMidiOut> toProgram_;
    std::unique_ptr<RtMidiIn> fromProgram_;  // last: its thread stops before the mailbox goes
};

Result<std::unique_ptr<VirtualUnitPorts>> VirtualUnitPorts::open(MidiApi api,
                                                                 const std::string& name) {
    using Opened = Result<std::unique_ptr<VirtualUnitPorts>>;
    auto driver = std::make_unique<Driver>();
    auto in = makeRtMidi<RtMidiIn>(api, name);
    if (!in) {
        return Opened::failure(in.error());
    }
    auto out = makeRtMidi<RtMidiOut>(api, name);
    if (!out) {
        return Opened::failure(out.error());
    }
    driver->fromProgram_ = std::move(in).value();
    driver->toProgram_ = std::move(out).value();
    // Errors of the input come on its thread once it runs: only the opening's are kept.
    std::string openError;
    driver->fromProgram_->setErrorCallback(&keepRtMidiReport, &openError);
    driver->toProgram_->setErrorCallback(&keepRtMidiReport, &openError);
    // A unit hears SysEx, and nothing of clock or active sensing matters to it.
    driver->fromProgram_->ignoreTypes(false, true, true);
    driver->fromProgram_->setCallback(&Driver::onMessage, driver.get());
    // RtMidi does not count a virtual port as open: its report says when one failed.
    driver->fromProgram_->openVirtualPort(name);
    driver->toProgram_->openVirtualPort(name);
    driver->fromProgram_->setErrorCallback(&keepRtMidiReport, nullptr);
    driver->toProgram_->setErrorCallback(&keepRtMidiReport, &driver->sendError_);
    if (!openError.empty()) {
        return Opened::failure("the ports \"" + name + "\" could not be made on " +
                               std::string(midiApiTitle(api)) + ": " + openError);
    }
    std::unique_ptr<VirtualUnitPorts> ports(new VirtualUnitPorts(std::move(driver)));
    // Programs send to what this one's output lists as an input, and the other way round.
    ports->toUnitName_ = listedName(*ports->driver_->toProgram_, name);
    ports->fromUnitName_ = listedName(*ports->driver_->fromProgram_, name);
    return Opened(std::move(ports));
}

VirtualUnitPorts::VirtualUnitPorts(std::unique_ptr<Driver> driver) : driver_(std::move(driver)) {}

VirtualUnitPorts::~VirtualUnitPorts() {
    driver_->fromProgram_->closePort();
    driver_->fromProgram_->cancelCallback();
    driver_->toProgram_->closePort();
}

std::vector<VirtualUnitPorts::Received> VirtualUnitPorts::takeReceived() {
    const std::lock_guard lock(driver_->mutex_);
    return std::exchange(driver_->received_, {});
}

Status VirtualUnitPorts::send(ByteView message) {
    driver_->sendError_.clear();
    driver_->toProgram_->sendMessage(message.data(), message.size());
    if (!driver_->sendError_.empty()) {
        return Status::failure(driver_->sendError_);
    }
    return success();
}

}  // namespace vrx
