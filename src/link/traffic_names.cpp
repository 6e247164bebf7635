#include "link/traffic_names.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "protocol/hex_text.h"
#include "protocol/messages.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

constexpr std::size_t kCommandAt = 5;         // 0-based index of the three command bytes
constexpr std::size_t kRequestAddressAt = 8;  // three 7-bit groups, least significant first
constexpr std::size_t kRequestMessageBytes = 14;
constexpr std::size_t kRebootMessageBytes = 9;
constexpr std::size_t kTagMessageBytes = 9;

bool startsWith(ByteView message, const Bytes& prefix, std::size_t at = 0) {
    return message.size() >= at + prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), message.begin() + static_cast<long>(at));
}

bool hasCommand(ByteView message, const Bytes& command) {
    return isManufacturerMessage(message) && startsWith(message, command, kCommandAt);
}

unsigned address21(ByteView m, std::size_t at) {
    return m[at] | (unsigned{m[at + 1]} << 7) | (unsigned{m[at + 2]} << 14);
}

std::string programOf(unsigned address) {
    return "program " + std::to_string(address / kProgramBytes + 1);
}

std::string identityReplyName(ByteView message) {
    const auto reply = parseIdentityReply(message);
    if (!reply) {
        return "Identity Reply (too short to read)";
    }
    return "Identity Reply: firmware " + reply->firmwareVersionText + ", DIP program " +
           std::to_string(reply->dipSwitchProgram) + ", " + std::to_string(reply->programCount) +
           " programs";
}

std::string updateName(ByteView message) {
    const auto block = parseProgramUpdate(message);
    if (!block) {
        return "PROGRAM_UPDATE (malformed)";
    }
    const unsigned blockNumber = block->address % kProgramBytes / kUpdateBlockBytes + 1;
    return "PROGRAM_UPDATE block " + std::to_string(blockNumber) + " of " +
           programOf(block->address);
}

std::string channelMessageName(std::uint8_t status) {
    static constexpr std::array<const char*, 7> kKinds = {
        "Note Off",       "Note On",          "Poly Pressure", "Control Change",
        "Program Change", "Channel Pressure", "Pitch Bend"};
    return std::string(kKinds[(status >> 4) - 8]) + ", channel " +
           std::to_string((status & 0x0F) + 1);
}

std::string systemMessageName(std::uint8_t status) {
    switch (status) {
        case 0xF1:
            return "MTC Quarter Frame";
        case 0xF2:
            return "Song Position";
        case 0xF3:
            return "Song Select";
        case 0xF6:
            return "Tune Request";
        case 0xF8:
            return "Timing Clock";
        case 0xFA:
            return "Start";
        case 0xFB:
            return "Continue";
        case 0xFC:
            return "Stop";
        case 0xFE:
            return "Active Sensing";
        case 0xFF:
            return "System Reset";
        default:
            return "undefined status " + byteToHex2(status);
    }
}

std::string shortMessageName(ByteView message) {
    if (message.empty() || message[0] < 0x80) {
        return "stray data byte";
    }
    return message[0] < 0xF0 ? channelMessageName(message[0]) : systemMessageName(message[0]);
}

std::size_t shortMessageLength(std::uint8_t status) {
    if (status < 0xC0 || (status >= 0xE0 && status < 0xF0) || status == 0xF2) {
        return 3;
    }
    if (status < 0xE0 || status == 0xF1 || status == 0xF3) {
        return 2;
    }
    return 1;
}

}  // namespace

std::string TrafficNamer::nameOf(ByteView message) {
    const auto& constants = messageConstants();
    if (message.empty() || message[0] != kSysexStart) {
        return shortMessageName(message);
    }
    if (message.size() == kTagMessageBytes && startsWith(message, constants.tagPrefix)) {
        return "TAG MESSAGE";
    }
    if (isIdentityRequest(message)) {
        return "Identity Request";
    }
    if (isIdentityReply(message)) {
        return identityReplyName(message);
    }
    if (hasCommand(message, constants.cmdProgramRequest)) {
        // Each request starts a new count of the responses that answer it.
        responsesSinceRequest_ = 0;
        if (message.size() != kRequestMessageBytes) {
            return "PROGRAM_REQUEST (malformed)";
        }
        return "PROGRAM_REQUEST for " + programOf(address21(message, kRequestAddressAt));
    }
    if (isProgramResponse(message)) {
        const auto data = unpackSevenBit(programResponsePayload(message));
        return "PROGRAM_RESPONSE " + std::to_string(++responsesSinceRequest_) + ", " +
               std::to_string(data.bytes.size()) + " bytes";
    }
    if (isProgramUpdate(message)) {
        return updateName(message);
    }
    if (message.size() == kRebootMessageBytes && hasCommand(message, constants.cmdReboot)) {
        return "VRX_REBOOT";
    }
    return "other SysEx";
}

Bytes messageBytes(const MidiMessage& message) {
    if (!message.sysex.empty()) {
        return message.sysex;
    }
    const Bytes all = {message.status, message.data1, message.data2};
    return Bytes(all.begin(), all.begin() + static_cast<long>(shortMessageLength(message.status)));
}

std::string_view directionText(TrafficDirection direction) {
    return direction == TrafficDirection::kIn ? "in" : "out";
}

std::string trafficLine(std::int64_t timeMs, TrafficDirection direction, std::string_view name,
                        ByteView message) {
    std::array<char, 48> head{};
    std::snprintf(head.data(), head.size(), "%8lld ms  %-3s %4zu  ", static_cast<long long>(timeMs),
                  directionText(direction).data(), message.size());
    std::string hex = bytesToHexText(message);
    if (!hex.empty()) {
        hex.pop_back();  // the trailing blank of hex text
    }
    return std::string(head.data()) + std::string(name) + "  " + hex;
}

}  // namespace vrx
