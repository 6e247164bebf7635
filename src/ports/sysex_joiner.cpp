#include "ports/sysex_joiner.h"

#include "protocol/messages.h"

namespace vrx {
namespace {

constexpr std::uint8_t kStatusBit = 0x80;
constexpr std::uint8_t kFirstRealTime = 0xF8;  // clock, active sensing and the like

bool isStatus(std::uint8_t byte) {
    return (byte & kStatusBit) != 0;
}

}  // namespace

std::vector<Bytes> SysexJoiner::add(ByteView piece) {
    std::vector<Bytes> complete;
    if (piece.empty()) {
        return complete;
    }
    const std::uint8_t first = piece.front();
    if (partial_.empty() && !isStatus(first)) {
        return complete;  // the rest of a message already dropped as broken
    }
    if (isStatus(first) && first != kSysexStart && first != kSysexEnd && first < kFirstRealTime) {
        // A message of its own. Arriving inside a SysEx it breaks that one off: the unit
        // never sends anything between the pieces of its own messages.
        partial_.clear();
        complete.emplace_back(piece.begin(), piece.end());
        return complete;
    }
    if (partial_.empty() && first != kSysexStart) {
        complete.emplace_back(piece.begin(), piece.end());  // real-time, or a stray F7
        return complete;
    }
    for (const std::uint8_t byte : piece) {
        if (byte == kSysexStart) {
            partial_.assign(1, byte);  // a new start drops a broken message
        } else if (partial_.empty() || byte >= kFirstRealTime) {
            // MIDI lets real-time bytes in anywhere, even inside a SysEx; they are no
            // part of it.
        } else if (byte == kSysexEnd) {
            partial_.push_back(byte);
            complete.push_back(std::move(partial_));
            partial_.clear();
        } else if (isStatus(byte)) {
            partial_.clear();
        } else {
            partial_.push_back(byte);
        }
    }
    return complete;
}

}  // namespace vrx
