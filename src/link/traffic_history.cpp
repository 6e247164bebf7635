#include "link/traffic_history.h"

#include "protocol/messages.h"

namespace vrx {

TrafficHistory::TrafficHistory(const Clock& clock, std::size_t capacity)
    : clock_(clock), startMs_(clock.nowMs()), capacity_(capacity) {}

void TrafficHistory::record(TrafficDirection direction, ByteView message) {
    TrafficEntry entry;
    entry.serial = ++lastSerial_;
    entry.timeMs = clock_.nowMs() - startMs_;
    entry.direction = direction;
    entry.bytes.assign(message.begin(), message.end());
    entry.name = namer_.nameOf(message);
    if (lineSink_) {
        lineSink_(trafficLine(entry));
    }
    entries_.push_back(std::move(entry));
    while (entries_.size() > capacity_) {
        entries_.pop_front();
    }
}

void TrafficHistory::clear() {
    entries_.clear();
}

std::string trafficLine(const TrafficEntry& entry) {
    return trafficLine(entry.timeMs, entry.direction, entry.name, entry.bytes);
}

std::string trafficText(const std::deque<TrafficEntry>& entries) {
    std::string text;
    for (const auto& entry : entries) {
        text += trafficLine(entry);
        text += '\n';
    }
    return text;
}

Bytes trafficSyx(const std::deque<TrafficEntry>& entries, TrafficSelection selection) {
    Bytes syx;
    for (const auto& entry : entries) {
        const bool wanted =
            selection == TrafficSelection::kBoth ||
            (selection == TrafficSelection::kSent) == (entry.direction == TrafficDirection::kOut);
        if (wanted && !entry.bytes.empty() && entry.bytes.front() == kSysexStart) {
            syx.insert(syx.end(), entry.bytes.begin(), entry.bytes.end());
        }
    }
    return syx;
}

}  // namespace vrx
