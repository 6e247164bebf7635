#pragma once

#include <string>

#include "model/program_data.h"

namespace vrx::cli {

// A readable report of a configuration with the names the editor shows: the 16 MIDI
// channel rows, the crescendo and tuning settings, and the assigned pins (all 105 when
// `allPins` is set).
std::string programReport(const ProgramData& data, const NameList& instruments, bool allPins);

}  // namespace vrx::cli
