#pragma once

#include <string>
#include <vector>

#include "model/program_data.h"

namespace vrx {

// One thing that differs between two configurations, in the editor's words:
// what ("Channel 3 Key Offset", "Pin 17 (IN4 40)"), as it was and as it is.
struct Difference {
    std::string what;
    std::string before;
    std::string after;

    // "Channel 3 Key Offset: +12 → 0"
    std::string text() const;
    bool operator==(const Difference&) const = default;
};

// What differs between two configurations, row by row: each channel field, the crescendo
// and tuning settings, then each pin. The program number is not compared: the unit
// ignores it. Program Change settings are named from `instruments`.
std::vector<Difference> compareConfigurations(
    const ProgramData& before, const ProgramData& after,
    const NameList& instruments = fallbackInstrumentNames());

// The differences one per line, or "No differences" when there are none.
std::string differencesText(const std::vector<Difference>& differences);

}  // namespace vrx
