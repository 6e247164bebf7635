#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx::cli {

// One SysEx message of a .syx file and where it starts (from 0).
struct SysexMessage {
    Bytes bytes;
    std::size_t offset = 0;
};

// A standard .syx file is its SysEx messages back to back, each F0 ... F7. A stray
// byte between messages, an F0 inside one or a missing F7 is malformed; the error
// names the byte, counted from 1. Other bytes of 0x80 and above inside a message are
// kept in it: what reads the message decides about them.
Result<std::vector<SysexMessage>> splitSysexFile(ByteView file);

// The messages one after another, as a .syx file holds them.
Bytes joinSysexFile(const std::vector<Bytes>& messages);

// The 260-byte image a captured dump holds, exactly as it came:
// - when it holds PROGRAM_RESPONSE messages, they are gathered as the program gathers
//   a load: their data are appended until 256 bytes are there, later responses are
//   left out, and bytes 257 to 260 are 0. Every other message (updates echoed on a MIDI
//   loop too) is skipped with a note, and a stray byte above 127 inside a response is
//   skipped with a warning that names its place in the file;
// - otherwise PROGRAM_UPDATE messages are placed by their addresses within one page.
// Too little data, or a broken update, is an error naming the message.
Result<Bytes> imageFromDump(const std::vector<SysexMessage>& messages,
                            std::vector<std::string>& notes);

}  // namespace vrx::cli
