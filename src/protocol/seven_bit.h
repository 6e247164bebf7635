#pragma once

#include <cstddef>
#include <vector>

#include "protocol/bytes.h"

namespace vrx {

// Seven raw bytes travel as a flag byte followed by the seven bytes with bit 7 cleared;
// the flag byte holds those bit 7s, the first byte's in bit 6. So 64 raw bytes become
// 74 on the wire and 256 become 293.
Bytes packSevenBit(ByteView raw);

struct Unpacked {
    Bytes bytes;
    // 1-based positions of input bytes above 127: they carry no data and are dropped.
    std::vector<std::size_t> badPositions;
};
Unpacked unpackSevenBit(ByteView packed);

// Numbers in requests and updates: n groups of 7 bits, least significant first.
Bytes encodeAddress7(unsigned value, std::size_t n);
unsigned fromSevenBitPair(std::uint8_t high, std::uint8_t low);

}  // namespace vrx
