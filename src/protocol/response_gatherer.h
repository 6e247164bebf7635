#pragma once

#include <cstddef>

#include "protocol/bytes.h"
#include "protocol/messages.h"
#include "protocol/seven_bit.h"

namespace vrx {

// The unit may answer one PROGRAM_REQUEST with one response or with several; their
// unpacked data are appended until the request's length is there.
class ResponseGatherer {
public:
    explicit ResponseGatherer(std::size_t expectedLength = kProgramBytes)
        : expectedLength_(expectedLength) {}

    // A new request: what was gathered before is forgotten.
    void restart(std::size_t expectedLength = kProgramBytes);

    // Appends the data of one PROGRAM_RESPONSE. The result names the positions of
    // bytes above 127, which carry no data and are dropped.
    Unpacked append(ByteView response);

    bool complete() const { return data_.size() >= expectedLength_; }
    const Bytes& data() const { return data_; }
    std::size_t expectedLength() const { return expectedLength_; }

private:
    std::size_t expectedLength_;
    Bytes data_;
};

}  // namespace vrx
