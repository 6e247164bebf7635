#pragma once

#include <nlohmann/json.hpp>

#include "model/program_data.h"
#include "protocol/result.h"

namespace vrx::cli {

// The configuration as JSON: every field under its model name with the model's list
// indexes, plus readable names ("...Name") that reading ignores.
//   {"channels": [16 x {inputKeyboard, analogInput, controllerType, keyOffset}],
//    "archiveAnalogInput", "archiveMidiChannel", "tuningInput", "tuningOptions": [5],
//    "pins": [105 x {row, pinName, pinNum, pinFunction, pinMidiChannel, pinSubFunction}]}
// Pins that use neither channel nor setting show both as 0.
nlohmann::ordered_json programToJson(const ProgramData& data, const NameList& instruments);

// Reads what programToJson writes. Every model key is required and checked against what
// an image can hold; the error names the place, as in
// `pins[4].pinSubFunction: 25 is out of range 0..19 for "Ahlborn ROMANTIC Stop"`.
Result<ProgramData> programFromJson(const nlohmann::json& json);

}  // namespace vrx::cli
