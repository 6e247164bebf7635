#pragma once

#include <string>
#include <vector>

#include "model/program_data.h"

namespace vrx::cli {

// The formats `show --format` offers.
const std::vector<std::string>& reportFormats();  // "text", "csv", "html", "markdown"

// The pin list of a configuration with the names the editor shows, headed by `title` and
// today's date: the 16 MIDI channel rows, the crescendo and tuning settings, and the
// assigned pins (all 105 when `allPins` is set). An unknown format gives the text form.
std::string programReport(const ProgramData& data, const NameList& instruments, bool allPins,
                          const std::string& format, const std::string& title);

}  // namespace vrx::cli
