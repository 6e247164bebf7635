#include "model/program_edit.h"

namespace vrx {
namespace {

void applyChannelEdit(ProgramData& data, const ChannelEdit& edit) {
    ChannelSetting& channel = data.channels.at(static_cast<std::size_t>(edit.channel));
    switch (edit.field) {
        case ChannelField::InputKeyboard:
            channel.inputKeyboard = edit.value;
            break;
        case ChannelField::AnalogInput:
            channel.analogInput = edit.value;
            break;
        case ChannelField::ControllerType:
            channel.controllerType = edit.value;
            break;
        case ChannelField::KeyOffset:
            channel.keyOffset = edit.value;
            break;
    }
}

void applyPinEdit(ProgramData& data, const PinEdit& edit) {
    PinAssignment& pin = data.pins.at(static_cast<std::size_t>(edit.row - 1));
    switch (edit.field) {
        case PinField::Function:
            if (edit.value != pin.pinFunction) {
                pin = PinAssignment{edit.value, 0, 0};
            }
            break;
        case PinField::MidiChannel:
            pin.pinMidiChannel = edit.value;
            break;
        case PinField::Setting:
            pin.pinSubFunction = edit.value;
            break;
    }
}

void applyGeneralEdit(ProgramData& data, const GeneralEdit& edit) {
    switch (edit.field) {
        case GeneralField::ArchiveAnalogInput:
            data.archiveAnalogInput = edit.value;
            break;
        case GeneralField::ArchiveMidiChannel:
            data.archiveMidiChannel = edit.value;
            break;
        case GeneralField::TuningInput:
            data.tuningInput = edit.value;
            break;
        case GeneralField::TuningOption:
            data.tuningOptions.at(static_cast<std::size_t>(edit.option)) = edit.value != 0;
            break;
    }
}

const char* fieldName(ChannelField field) {
    switch (field) {
        case ChannelField::InputKeyboard:
            return "Input Keyboard";
        case ChannelField::AnalogInput:
            return "Analog Input";
        case ChannelField::ControllerType:
            return "Controller Type";
        case ChannelField::KeyOffset:
            return "Key Offset";
    }
    return "";
}

const char* fieldName(PinField field) {
    switch (field) {
        case PinField::Function:
            return "Function";
        case PinField::MidiChannel:
            return "MIDI Channel";
        case PinField::Setting:
            return "Setting";
    }
    return "";
}

std::string generalEditName(const GeneralEdit& edit) {
    switch (edit.field) {
        case GeneralField::ArchiveAnalogInput:
            return "Set Crescendo Analog Input";
        case GeneralField::ArchiveMidiChannel:
            return "Set Crescendo MIDI Channel";
        case GeneralField::TuningInput:
            return "Set Tuning Analog Input";
        case GeneralField::TuningOption:
            return "Set Tuning Option " + std::to_string(edit.option + 1);
    }
    return {};
}

}  // namespace

ProgramData applyEdit(ProgramData data, const ProgramEdit& edit) {
    if (const auto* channel = std::get_if<ChannelEdit>(&edit)) {
        applyChannelEdit(data, *channel);
    } else if (const auto* pin = std::get_if<PinEdit>(&edit)) {
        applyPinEdit(data, *pin);
    } else {
        applyGeneralEdit(data, std::get<GeneralEdit>(edit));
    }
    return data;
}

std::string editName(const ProgramEdit& edit) {
    if (const auto* channel = std::get_if<ChannelEdit>(&edit)) {
        return "Set Channel " + std::to_string(channel->channel + 1) + " " +
               fieldName(channel->field);
    }
    if (const auto* pin = std::get_if<PinEdit>(&edit)) {
        return "Set Pin " + std::to_string(pin->row) + " " + fieldName(pin->field);
    }
    return generalEditName(std::get<GeneralEdit>(edit));
}

}  // namespace vrx
