#include "protocol/messages.h"

#include <algorithm>

#include "protocol/hex_text.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

constexpr std::uint8_t kUniversalNonRealtime = 0x7E;
constexpr std::uint8_t kGeneralInformation = 0x06;
constexpr std::uint8_t kIdentityRequestId = 0x01;
constexpr std::uint8_t kIdentityReplyId = 0x02;
constexpr std::size_t kCommandAt = 5;  // 0-based index of the three command bytes
constexpr std::size_t kRequestAddressBytes = 3;
constexpr std::size_t kRequestCountBytes = 2;
constexpr std::size_t kUpdateZeroBytes = 2;

Bytes constant(std::string_view text) {
    return hexTextToBytes(text).value();
}

Bytes manufacturerMessage(std::uint8_t device, const Bytes& command) {
    Bytes m = messageConstants().manufacturerHeader;
    m.push_back(device);
    m.insert(m.end(), command.begin(), command.end());
    return m;
}

bool startsWith(ByteView message, const Bytes& prefix, std::size_t at = 0) {
    return message.size() >= at + prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), message.begin() + static_cast<long>(at));
}

bool hasCommand(ByteView message, const Bytes& command) {
    return isManufacturerMessage(message) && startsWith(message, command, kCommandAt);
}

bool isUniversal(ByteView message, std::uint8_t subId) {
    return message.size() >= 5 && message[0] == kSysexStart &&
           message[1] == kUniversalNonRealtime && message[3] == kGeneralInformation &&
           message[4] == subId;
}

}  // namespace

const MessageConstants& messageConstants() {
    static const MessageConstants constants{
        constant("f0 00 21 5e "),    constant("F0 00 21 5e 7f 04 02 "),
        constant("F0 7E 00 06 01 "), constant("F0 7E 00 06 02 "),
        constant(" 04 01 03 "),      constant(" 04 01 04 "),
        constant(" 04 01 08 "),      constant(" 04 01 20 "),
    };
    return constants;
}

Bytes tagMessage() {
    Bytes m = messageConstants().tagPrefix;
    m.push_back(kTagValue);
    m.push_back(kSysexEnd);
    return m;
}

Bytes identityRequest() {
    return {kSysexStart,         kUniversalNonRealtime, kAllDevices,
            kGeneralInformation, kIdentityRequestId,    kSysexEnd};
}

Bytes programRequest(std::uint8_t device, unsigned page) {
    Bytes m = manufacturerMessage(device, messageConstants().cmdProgramRequest);
    const auto address = encodeAddress7(pageAddress(page), kRequestAddressBytes);
    const auto count = encodeAddress7(kProgramBytes, kRequestCountBytes);
    m.insert(m.end(), address.begin(), address.end());
    m.insert(m.end(), count.begin(), count.end());
    m.push_back(kSysexEnd);
    return m;
}

Bytes programUpdate(std::uint8_t device, unsigned address, ByteView block64) {
    Bytes m = manufacturerMessage(device, messageConstants().cmdProgramUpdate);
    // Two zero bytes stand before the address in every update the unit accepts.
    m.insert(m.end(), kUpdateZeroBytes, 0x00);
    const auto addr = encodeAddress7(address, kRequestAddressBytes);
    m.insert(m.end(), addr.begin(), addr.end());
    const auto packed = packSevenBit(block64);
    m.push_back(static_cast<std::uint8_t>(packed.size()));
    m.insert(m.end(), packed.begin(), packed.end());
    m.push_back(kSysexEnd);
    return m;
}

Bytes programResponse(std::uint8_t device, ByteView data) {
    Bytes m = manufacturerMessage(device, messageConstants().cmdProgramResponse);
    // The unit fills the three unread bytes; zeros serve as well as anything.
    m.insert(m.end(), kResponseHeaderBytes - m.size(), 0x00);
    const auto packed = packSevenBit(data);
    m.insert(m.end(), packed.begin(), packed.end());
    m.push_back(kSysexEnd);
    return m;
}

Bytes vrxReboot(std::uint8_t device) {
    Bytes m = manufacturerMessage(device, messageConstants().cmdReboot);
    m.push_back(kSysexEnd);
    return m;
}

bool isManufacturerMessage(ByteView message) {
    return startsWith(message, messageConstants().manufacturerHeader);
}

bool isProgramResponse(ByteView message) {
    return hasCommand(message, messageConstants().cmdProgramResponse);
}

bool isProgramUpdate(ByteView message) {
    return hasCommand(message, messageConstants().cmdProgramUpdate);
}

bool isIdentityReply(ByteView message) {
    return isUniversal(message, kIdentityReplyId);
}

bool isIdentityRequest(ByteView message) {
    return isUniversal(message, kIdentityRequestId);
}

std::string firmwareVersionText(std::uint8_t major, std::uint8_t minor, std::uint8_t year,
                                std::uint8_t first, std::uint8_t second) {
    const std::string century = year < 10 ? "200" : "20";
    return std::to_string(major) + "." + std::to_string(minor) + ", " + std::to_string(first) +
           "/" + std::to_string(second) + "/" + century + std::to_string(year);
}

std::optional<IdentityReply> parseIdentityReply(ByteView m) {
    if (!isIdentityReply(m) || m.size() < kIdentityReplyMinBytes) {
        return std::nullopt;
    }
    // Positions 11 to 21 of the reply, 0-based here.
    IdentityReply reply;
    reply.firmwareVersionText = firmwareVersionText(m[10], m[11], m[12], m[13], m[14]);
    reply.dipSwitchProgram = static_cast<int>(fromSevenBitPair(m[17], m[16])) + 1;
    reply.programCount = static_cast<int>(fromSevenBitPair(m[19], m[18]));
    reply.firmwareVersionByte = m[20];
    return reply;
}

ByteView programResponsePayload(ByteView message) {
    if (message.size() <= kResponseHeaderBytes + 1) {
        return {};
    }
    return message.subspan(kResponseHeaderBytes, message.size() - kResponseHeaderBytes - 1);
}

std::optional<UpdateBlock> parseProgramUpdate(ByteView m) {
    // F0 00 21 5E dev 04 01 08 00 00 a0 a1 a2 len data.. F7
    constexpr std::size_t kAddressAt = 10;
    constexpr std::size_t kLengthAt = 13;
    constexpr std::size_t kDataAt = 14;
    // The length byte counts the packed bytes; an update whose count disagrees was cut
    // short or run together with another message.
    if (!isProgramUpdate(m) || m.size() < kDataAt + 1 || m.back() != kSysexEnd ||
        m[kLengthAt] != m.size() - kDataAt - 1) {
        return std::nullopt;
    }
    UpdateBlock block;
    block.address =
        m[kAddressAt] | (unsigned{m[kAddressAt + 1]} << 7) | (unsigned{m[kAddressAt + 2]} << 14);
    const auto unpacked = unpackSevenBit(m.subspan(kDataAt, m.size() - kDataAt - 1));
    if (!unpacked.badPositions.empty()) {
        return std::nullopt;
    }
    block.data = unpacked.bytes;
    return block;
}

}  // namespace vrx
