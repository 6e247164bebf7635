#include <cstddef>
#include <cstdint>

#include "protocol/seven_bit.h"

// Whatever a unit or a capture sends, unpacking never reads past the input and never
// makes more bytes than it was given; what the program packs comes back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vrx::ByteView input(data, size);
    const auto unpacked = vrx::unpackSevenBit(input);
    if (unpacked.bytes.size() > size || unpacked.badPositions.size() > size) {
        __builtin_trap();
    }
    for (const auto position : unpacked.badPositions) {
        if (position < 1 || position > size || data[position - 1] <= 0x7F) {
            __builtin_trap();
        }
    }
    const auto packed = vrx::packSevenBit(input);
    for (const auto b : packed) {
        if (b > 0x7F) {
            __builtin_trap();
        }
    }
    const auto again = vrx::unpackSevenBit(packed);
    if (again.bytes != vrx::Bytes(input.begin(), input.end()) || !again.badPositions.empty()) {
        __builtin_trap();
    }
    return 0;
}
