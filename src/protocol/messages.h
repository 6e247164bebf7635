#pragma once

#include <optional>
#include <string>

#include "protocol/bytes.h"

namespace vrx {

// Every message exchanged with a VRX unit. Positions in comments count from 1 at F0.

constexpr std::uint8_t kSysexStart = 0xF0;
constexpr std::uint8_t kSysexEnd = 0xF7;
constexpr std::uint8_t kAllDevices = 0x7F;
constexpr std::uint8_t kTagValue = 0x01;

constexpr unsigned kProgramBytes = 256;     // what one program occupies in the unit
constexpr unsigned kUpdateBlockBytes = 64;  // image bytes carried by one PROGRAM_UPDATE
constexpr unsigned kUpdateBlocks = kProgramBytes / kUpdateBlockBytes;
constexpr unsigned kPackedBlockBytes = 74;  // 64 bytes after the 7-bit group encoding
constexpr std::size_t kUpdateMessageBytes = 89;
constexpr std::size_t kResponseHeaderBytes = 11;  // F0 .. the three unread bytes
constexpr std::size_t kIdentityReplyMinBytes = 22;

// The fixed parts, as the unit's documentation writes them.
struct MessageConstants {
    Bytes manufacturerHeader;       // f0 00 21 5e
    Bytes tagPrefix;                // F0 00 21 5e 7f 04 02
    Bytes identityRequestTemplate;  // F0 7E 00 06 01
    Bytes identityReplyTemplate;    // F0 7E 00 06 02
    Bytes cmdProgramRequest;        // 04 01 03
    Bytes cmdProgramResponse;       // 04 01 04
    Bytes cmdProgramUpdate;         // 04 01 08
    Bytes cmdReboot;                // 04 01 20
};
const MessageConstants& messageConstants();

Bytes tagMessage();                                        // F0 00 21 5E 7F 04 02 01 F7
Bytes identityRequest();                                   // F0 7E 7F 06 01 F7
Bytes programRequest(std::uint8_t device, unsigned page);  // page = program - 1
Bytes programUpdate(std::uint8_t device, unsigned address, ByteView block64);
Bytes vrxReboot(std::uint8_t device);
// What a unit answers a PROGRAM_REQUEST with: `data` packed behind the header and the
// three bytes the program does not read. For the simulated unit and for tests.
Bytes programResponse(std::uint8_t device, ByteView data);

// Address of byte 0 of a program page in the unit's memory.
// Requests and updates carry the address in three 7-bit bytes: 2^21 bytes of memory,
// 8192 programs. A higher program number would wrap round to another program.
constexpr int kMaxAddressableProgram = static_cast<int>((1u << 21) / kProgramBytes);

constexpr unsigned pageAddress(unsigned page) {
    return page * kProgramBytes;
}

bool isManufacturerMessage(ByteView message);
bool isProgramResponse(ByteView message);
bool isProgramUpdate(ByteView message);
bool isIdentityReply(ByteView message);
bool isIdentityRequest(ByteView message);

struct IdentityReply {
    int dipSwitchProgram = 0;  // from 1
    int programCount = 0;
    std::uint8_t firmwareVersionByte = 0;
    std::string firmwareVersionText;
};
// Empty for anything that is not an Identity Reply long enough to hold its fields.
std::optional<IdentityReply> parseIdentityReply(ByteView message);

// "1.5, 12/31/2009" from the five version bytes of the reply.
std::string firmwareVersionText(std::uint8_t major, std::uint8_t minor, std::uint8_t year,
                                std::uint8_t first, std::uint8_t second);

// The packed Program Data of a PROGRAM_RESPONSE: from position 12 up to the byte before
// F7. A response too short to have a complete header carries no data.
ByteView programResponsePayload(ByteView message);

struct UpdateBlock {
    unsigned address = 0;
    Bytes data;  // unpacked
};
// Empty unless the message is a complete PROGRAM_UPDATE: framing, a length byte that
// matches the packed bytes, and no packed byte above 127.
std::optional<UpdateBlock> parseProgramUpdate(ByteView message);

}  // namespace vrx
