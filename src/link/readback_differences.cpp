#include "link/readback_differences.h"

#include <algorithm>
#include <set>

#include "model/program_data.h"
#include "protocol/messages.h"

namespace vrx {
namespace {

// Where the fields sit in the stored bytes (from 0).
constexpr std::size_t kChannelPairFirst = 2;  // byte 2 + i: channels 2i + 1 and 2i + 2
constexpr std::size_t kKeyOffsetFirst = 10;   // byte 10 + c: channel c + 1
constexpr std::size_t kCrescendoByte = 26;
constexpr std::size_t kKeyboardMaskFirst = 27;  // two bytes per keyboard, a bit per channel
constexpr std::size_t kKeyboardMaskBytes = 8;
constexpr std::size_t kTuningByte = 37;
constexpr std::size_t kPinPairFirst = 46;  // row r at 44 + 2r and 45 + 2r

// "3, 17, 42-73": three or more rows in a row are told as a range.
std::string numberList(const std::set<int>& numbers) {
    std::string text;
    for (auto it = numbers.begin(); it != numbers.end();) {
        auto last = it;
        while (std::next(last) != numbers.end() && *std::next(last) == *last + 1) {
            ++last;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(*it);
        if (std::distance(it, last) >= 2) {
            text += "-" + std::to_string(*last);
            it = std::next(last);
        } else {
            ++it;
        }
    }
    return text;
}

void addChannelsOf(std::size_t index, std::uint8_t changedBits, std::set<int>& channels) {
    if (index >= kChannelPairFirst && index < kKeyOffsetFirst) {
        const int firstChannel = 2 * static_cast<int>(index - kChannelPairFirst) + 1;
        if ((changedBits & 0x0F) != 0) {
            channels.insert(firstChannel);
        }
        if ((changedBits & 0xF0) != 0) {
            channels.insert(firstChannel + 1);
        }
    } else if (index >= kKeyOffsetFirst && index < kCrescendoByte) {
        channels.insert(static_cast<int>(index - kKeyOffsetFirst) + 1);
    } else {
        // A keyboard's mask: bit b of its first byte is channel b + 1, of its second b + 9.
        const int base = (index - kKeyboardMaskFirst) % 2 == 0 ? 1 : 9;
        for (int bit = 0; bit < 8; ++bit) {
            if ((changedBits >> bit) & 1) {
                channels.insert(base + bit);
            }
        }
    }
}

}  // namespace

std::vector<std::string> differingParts(ByteView sent, ByteView readBack) {
    std::set<int> pinRows;
    std::set<int> channelRows;
    bool crescendo = false;
    bool tuning = false;
    bool other = false;
    for (std::size_t i = 0; i < kProgramBytes; ++i) {
        const int a = i < sent.size() ? sent[i] : -1;
        const int b = i < readBack.size() ? readBack[i] : -1;
        if (a == b) {
            continue;
        }
        const auto changedBits = static_cast<std::uint8_t>(a < 0 || b < 0 ? 0xFF : a ^ b);
        if (i >= kPinPairFirst) {
            pinRows.insert(static_cast<int>(i - kPinPairFirst) / 2 + 1);
        } else if (i >= kChannelPairFirst && i < kCrescendoByte) {
            addChannelsOf(i, changedBits, channelRows);
        } else if (i >= kKeyboardMaskFirst && i < kKeyboardMaskFirst + kKeyboardMaskBytes) {
            addChannelsOf(i, changedBits, channelRows);
        } else if (i == kCrescendoByte) {
            crescendo = true;
        } else if (i == kTuningByte) {
            tuning = true;
        } else {
            other = true;
        }
    }
    std::vector<std::string> parts;
    if (!pinRows.empty()) {
        parts.push_back((pinRows.size() == 1 ? "pin row " : "pin rows ") + numberList(pinRows));
    }
    if (!channelRows.empty()) {
        parts.push_back((channelRows.size() == 1 ? "MIDI channel row " : "MIDI channel rows ") +
                        numberList(channelRows));
    }
    if (crescendo) {
        parts.emplace_back("crescendo");
    }
    if (tuning) {
        parts.emplace_back("tuning");
    }
    if (other) {
        parts.emplace_back(kSettingFreeBytes);
    }
    return parts;
}

bool settingsDiffer(const std::vector<std::string>& parts) {
    return std::ranges::any_of(parts,
                               [](const std::string& part) { return part != kSettingFreeBytes; });
}

std::string joinParts(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            text += i + 1 == parts.size() ? " and " : "; ";
        }
        text += parts[i];
    }
    return text;
}

}  // namespace vrx
