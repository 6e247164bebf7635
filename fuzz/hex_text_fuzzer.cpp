#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/hex_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto bytes = vrx::hexTextToBytes(text);
    if (bytes) {
        // What the program writes it must read back unchanged.
        const auto again = vrx::hexTextToBytes(vrx::bytesToHexText(*bytes));
        if (!again || *again != *bytes) {
            __builtin_trap();
        }
    }
    return 0;
}
