#pragma once

#include <string>
#include <variant>

#include "model/program_data.h"

namespace vrx {

// One change the user makes with one control: a field of a channel row, of a pin, or of
// the general settings. The window turns each into one undoable step.
enum class ChannelField { InputKeyboard, AnalogInput, ControllerType, KeyOffset };
enum class PinField { Function, MidiChannel, Setting };
enum class GeneralField { ArchiveAnalogInput, ArchiveMidiChannel, TuningInput, TuningOption };

struct ChannelEdit {
    int channel = 0;  // 0 to 15
    ChannelField field = ChannelField::InputKeyboard;
    int value = 0;  // a list position; for KeyOffset the offset in semitones
};

struct PinEdit {
    int row = 1;  // 1 to 105
    PinField field = PinField::Function;
    int value = 0;
};

struct GeneralEdit {
    GeneralField field = GeneralField::ArchiveAnalogInput;
    int value = 0;   // a list position; for TuningOption 0 or 1
    int option = 0;  // which tuning option, 0 to 4
};

using ProgramEdit = std::variant<ChannelEdit, PinEdit, GeneralEdit>;

// The configuration with the edit made. Choosing another function gives the pin channel 1
// and the first setting, as the grid always did; choosing the same function keeps both.
ProgramData applyEdit(ProgramData data, const ProgramEdit& edit);

// The step's name as the Edit menu shows it after "Undo ": "Set Pin 17 Function",
// "Set Channel 3 Key Offset", "Set Tuning Option 2".
std::string editName(const ProgramEdit& edit);

}  // namespace vrx
