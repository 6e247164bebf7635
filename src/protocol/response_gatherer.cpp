#include "protocol/response_gatherer.h"

namespace vrx {

void ResponseGatherer::restart(std::size_t expectedLength) {
    expectedLength_ = expectedLength;
    data_.clear();
}

Unpacked ResponseGatherer::append(ByteView response) {
    auto unpacked = unpackSevenBit(programResponsePayload(response));
    data_.insert(data_.end(), unpacked.bytes.begin(), unpacked.bytes.end());
    return unpacked;
}

}  // namespace vrx
