#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/midi_api.h"
#include "protocol/result.h"

namespace vrx {

// The unit's end of a MIDI cable as two ports of the MIDI service that every MIDI
// program lists: one the program sends to, one it hears the unit from, both called by
// the given name. What arrives is kept until taken, whole messages only.
class VirtualUnitPorts {
public:
    static Result<std::unique_ptr<VirtualUnitPorts>> open(MidiApi api, const std::string& name);
    ~VirtualUnitPorts();
    VirtualUnitPorts(const VirtualUnitPorts&) = delete;
    VirtualUnitPorts& operator=(const VirtualUnitPorts&) = delete;

    // A message another program sent to the unit, and when it came off the port (ms on
    // the steady clock): a busy machine may take the unit a while to get to it, and the
    // unit times what it hears by its arrival.
    struct Received {
        std::int64_t atMs;
        Bytes message;
    };
    // What arrived since the last call, in order.
    std::vector<Received> takeReceived();
    Status send(ByteView message);

    // The ports as other programs list them: the one to send to, the one to hear.
    const std::string& toUnitName() const { return toUnitName_; }
    const std::string& fromUnitName() const { return fromUnitName_; }

private:
    struct Driver;
    explicit VirtualUnitPorts(std::unique_ptr<Driver> driver);

    std::unique_ptr<Driver> driver_;
    std::string toUnitName_;
    std::string fromUnitName_;
};

}  // namespace vrx
