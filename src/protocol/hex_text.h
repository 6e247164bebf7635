#pragma once

#include <string>
#include <string_view>

#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx {

// Hex text is how messages are written down: two lower-case digits per byte, each
// followed by one space ("f0 00 21 5e ").
std::string byteToHex2(std::uint8_t value);
std::string bytesToHexText(ByteView bytes);

// Reads hex text as the program and its files write it, and the message templates as
// they are written in the source (upper-case digits, a leading or trailing space,
// single-digit groups after the first). Anything else is a conversion failure.
Result<Bytes> hexTextToBytes(std::string_view text);

}  // namespace vrx
