#include "protocol/seven_bit.h"

namespace vrx {
namespace {
constexpr std::size_t kGroupSize = 7;
}

Bytes packSevenBit(ByteView raw) {
    Bytes packed;
    packed.reserve(raw.size() + raw.size() / kGroupSize + 1);
    for (std::size_t start = 0; start < raw.size(); start += kGroupSize) {
        const auto flagAt = packed.size();
        packed.push_back(0);
        std::uint8_t flags = 0;
        for (std::size_t i = 0; i < kGroupSize && start + i < raw.size(); ++i) {
            const auto b = raw[start + i];
            if (b & 0x80) {
                flags |= static_cast<std::uint8_t>(1u << (kGroupSize - 1 - i));
            }
            packed.push_back(b & 0x7F);
        }
        packed[flagAt] = flags;
    }
    return packed;
}

Unpacked unpackSevenBit(ByteView packed) {
    Unpacked out;
    out.bytes.reserve(packed.size());
    unsigned phase = 1;
    unsigned flags = 0;
    for (std::size_t i = 0; i < packed.size(); ++i) {
        const auto b = packed[i];
        if (b > 0x7F) {
            out.badPositions.push_back(i + 1);
            continue;
        }
        if (phase == 1) {
            flags = b;
        } else {
            const unsigned weight = 1u << (8 - phase);
            auto value = b;
            if (flags >= weight) {
                value = static_cast<std::uint8_t>(value + 0x80);
                flags -= weight;
            }
            out.bytes.push_back(value);
        }
        phase = phase == 8 ? 1 : phase + 1;
    }
    return out;
}

Bytes encodeAddress7(unsigned value, std::size_t n) {
    Bytes out;
    for (std::size_t k = 0; k < n; ++k) {
        out.push_back(static_cast<std::uint8_t>((value >> (7 * k)) & 0x7F));
    }
    return out;
}

unsigned fromSevenBitPair(std::uint8_t high, std::uint8_t low) {
    return unsigned{high} * 128 + low;
}

}  // namespace vrx
