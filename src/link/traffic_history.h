#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/traffic_names.h"
#include "protocol/bytes.h"
#include "protocol/clock.h"

namespace vrx {

struct TrafficEntry {
    std::uint64_t serial = 0;  // counts every message recorded since the start, from 1
    std::int64_t timeMs = 0;   // since the history was made, which is at program start
    TrafficDirection direction = TrafficDirection::kOut;
    Bytes bytes;
    std::string name;
};

// Which messages a .syx file saved from the history holds.
enum class TrafficSelection { kSent, kReceived, kBoth };

// The last messages in and out, named as they pass. It is bounded, so a session left
// running all night does not grow; the oldest messages make room for new ones.
// A line sink, when set, receives each message as a trace line (vrxtool --trace, the log).
class TrafficHistory {
public:
    static constexpr std::size_t kDefaultCapacity = 5000;

    explicit TrafficHistory(const Clock& clock, std::size_t capacity = kDefaultCapacity);

    // The device link calls this for every message it sends or takes from the input.
    void record(TrafficDirection direction, ByteView message);
    void clear();

    void setLineSink(std::function<void(std::string_view)> sink) { lineSink_ = std::move(sink); }

    const std::deque<TrafficEntry>& entries() const { return entries_; }
    std::uint64_t lastSerial() const { return lastSerial_; }

private:
    const Clock& clock_;
    std::int64_t startMs_;
    std::size_t capacity_;
    TrafficNamer namer_;
    std::deque<TrafficEntry> entries_;
    std::uint64_t lastSerial_ = 0;
    std::function<void(std::string_view)> lineSink_;
};

std::string trafficLine(const TrafficEntry& entry);
// What a monitor saves: every entry as a trace line, or the chosen SysEx messages back
// to back as a .syx file that any SysEx librarian can send (short messages are left out).
std::string trafficText(const std::deque<TrafficEntry>& entries);
Bytes trafficSyx(const std::deque<TrafficEntry>& entries, TrafficSelection selection);

}  // namespace vrx
