#include "ports/sysex_joiner.h"

#include "protocol/messages.h"

namespace vrx {
namespace {

constexpr std::uint8_t kStatusBit = 0x80;

bool isChannelMessage(ByteView piece) {
    return !piece.empty() && (piece.front() & kStatusBit) != 0 && piece.front() < kSysexStart;
}

}  // namespace

std::vector<Bytes> SysexJoiner::add(ByteView piece) {
    std::vector<Bytes> complete;
    if (piece.empty()) {
        return complete;
    }
    if (partial_.empty() || piece.front() == kSysexStart) {
        partial_.clear();
        if (piece.front() != kSysexStart || piece.back() == kSysexEnd) {
            complete.emplace_back(piece.begin(), piece.end());
            return complete;
        }
        partial_.assign(piece.begin(), piece.end());
        return complete;
    }
    if (isChannelMessage(piece)) {
        complete.emplace_back(piece.begin(), piece.end());
        return complete;
    }
    partial_.insert(partial_.end(), piece.begin(), piece.end());
    if (partial_.back() == kSysexEnd) {
        complete.push_back(std::move(partial_));
        partial_.clear();
    }
    return complete;
}

}  // namespace vrx
