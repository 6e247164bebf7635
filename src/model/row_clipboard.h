#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/program_data.h"
#include "protocol/result.h"

namespace vrx {

// Copy and paste of whole rows as tab-separated text in the editor's words, one line per
// row, so that runs of similar pins travel between configurations and spreadsheets.
// Pin rows carry function, MIDI channel and setting; channel rows carry input keyboard,
// analog input, controller type and key offset.

// `rows` are grid rows 1 to 105, `channels` are 0 to 15, each in the order to copy.
std::string copyPinRows(const ProgramData& data, const std::vector<int>& rows,
                        const NameList& instruments);
std::string copyChannelRows(const ProgramData& data, const std::vector<int>& channels);

// The configuration with the pasted rows. One selected row takes as many rows as the
// text has lines, downwards; one line fills every selected row; otherwise the lines and
// the selected rows must be as many. Every cell is checked against its row's lists: a
// cell that fits no entry changes nothing, and the error names the cell and why.
Result<ProgramData> pastePinRows(const ProgramData& data, std::vector<int> rows,
                                 std::string_view text, const NameList& instruments);
Result<ProgramData> pasteChannelRows(const ProgramData& data, std::vector<int> channels,
                                     std::string_view text);

}  // namespace vrx
