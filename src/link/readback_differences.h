#pragma once

#include <string>
#include <vector>

#include "protocol/bytes.h"

namespace vrx {

// Which parts of a program differ between what a write sent and what the unit gave
// back, in the editor's words: "pin rows 3, 17", "MIDI channel rows 1, 2",
// "crescendo", "tuning", and "other bytes" for bytes no field of the editor uses.
// Both sides are compared over the 256 bytes the unit stores; empty when they agree.
std::vector<std::string> differingParts(ByteView sent, ByteView readBack);

// The name differingParts gives the bytes that carry no setting (the format byte, byte 2
// and the unused bytes): a unit may store those its own way.
inline constexpr const char* kSettingFreeBytes = "other bytes";
// Whether the parts name a setting the editor shows, not only setting-free bytes.
bool settingsDiffer(const std::vector<std::string>& parts);

// The parts joined for a sentence: "pin rows 3, 17; crescendo and tuning".
std::string joinParts(const std::vector<std::string>& parts);

}  // namespace vrx
