#include "protocol/hex_text.h"

#include <cctype>

namespace vrx {
namespace {

constexpr char kDigits[] = "0123456789abcdef";

std::string_view trimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::optional<std::uint8_t> parseGroup(std::string_view group) {
    if (group.empty() || group.size() > 2) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : group) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<std::uint8_t>(value);
}

// Names the group and where it starts, counted from 1. A long
// run of garbage is cut short so the message stays one readable line.
std::string describeBadGroup(std::string_view group, std::size_t pos) {
    constexpr std::size_t kShownChars = 8;
    const auto shown = group.size() > kShownChars
                           ? std::string(group.substr(0, kShownChars)) + "..."
                           : std::string(group);
    return "\"" + shown + "\" at character " + std::to_string(pos + 1) + " is not a hex byte";
}

}  // namespace

std::string byteToHex2(std::uint8_t value) {
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::string bytesToHexText(ByteView bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const auto b : bytes) {
        text += byteToHex2(b);
        text += ' ';
    }
    return text;
}

Result<Bytes> hexTextToBytes(std::string_view text) {
    const auto trimmed = trimSpaces(text);
    if (trimmed.size() < 2) {
        return Result<Bytes>::failure("hex text is too short");
    }
    // Places in messages count in the text as given, leading spaces included.
    const auto leading = static_cast<std::size_t>(trimmed.data() - text.data());
    Bytes bytes;
    bytes.reserve(trimmed.size() / 3 + 1);
    std::size_t pos = 0;
    bool first = true;
    while (pos < trimmed.size()) {
        auto end = trimmed.find(' ', pos);
        if (end == std::string_view::npos) {
            end = trimmed.size();
        }
        const auto group = trimmed.substr(pos, end - pos);
        const auto value = parseGroup(group);
        if (!value || (first && group.size() != 2)) {
            return Result<Bytes>::failure(describeBadGroup(group, leading + pos));
        }
        bytes.push_back(*value);
        first = false;
        pos = end + 1;
    }
    return bytes;
}

}  // namespace vrx
