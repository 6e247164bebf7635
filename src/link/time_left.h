#pragma once

#include <cstdint>
#include <string>

namespace vrx {

// What a progress window says about the time still to go, from how long the programs
// done so far took: "About 40 s left", "About 2 min left"; empty before the first
// program is done, when nothing can be said yet.
std::string timeLeftText(std::int64_t elapsedMs, int done, int total);

}  // namespace vrx
