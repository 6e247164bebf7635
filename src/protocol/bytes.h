#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vrx {

// One MIDI message or payload, each element 0 to 255.
using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

}  // namespace vrx
