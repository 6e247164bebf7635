#pragma once

#include <cstddef>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx::cli {

// One SysEx message of a .syx file and where it starts (from 0).
struct SysexMessage {
    Bytes bytes;
    std::size_t offset = 0;
};

// A standard .syx file is its SysEx messages back to back, each F0 ... F7. Anything
// else (a stray byte between messages, a status byte inside one, a missing F7) is
// malformed; the error names the byte, counted from 1.
Result<std::vector<SysexMessage>> splitSysexFile(ByteView file);

// The messages one after another, as a .syx file holds them.
Bytes joinSysexFile(const std::vector<Bytes>& messages);

// The 260-byte image a captured dump holds, exactly as it came:
// - PROGRAM_RESPONSE messages are gathered as the program gathers a load: their data
//   are appended until 256 bytes are there, later responses are left out, and bytes
//   257 to 260 are 0;
// - PROGRAM_UPDATE messages are placed by their addresses within one program page.
// Other messages are skipped. A dump of both kinds, too little data, or a broken
// response or update is an error naming the message.
Result<Bytes> imageFromDump(const std::vector<SysexMessage>& messages);

}  // namespace vrx::cli
