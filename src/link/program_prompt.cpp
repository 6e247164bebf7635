#include "link/program_prompt.h"

#include "files/number_text.h"
#include "protocol/messages.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vrx {
namespace {

constexpr std::string_view kCancelResult = "Cancel";
constexpr int kSwitchBits = ProgramPrompt::kLevers;

bool inRange(int number, int max) {
    return number >= 1 && number <= max;
}

}  // namespace

int promptNumber(std::string_view text) {
    const auto rounded = roundToInt32(leadingNumber(text));
    if (!rounded || *rounded < std::numeric_limits<std::int16_t>::min() ||
        *rounded > std::numeric_limits<std::int16_t>::max()) {
        return 0;
    }
    return *rounded;
}

void ProgramPrompt::open(std::string title, int dipSwitchProgram, int programCount,
                         std::string_view deviceName, int proposed) {
    promptResult_ = title;
    caption_ = std::move(title);
    for (int i = 0; i < kLevers; ++i) {
        auto& lever = levers_[static_cast<std::size_t>(i)];
        lever.visible = false;
        lever.width = kLeverWidth;
        lever.height = kLeverHeight;
        lever.left = kLeverFirstLeft + kLeverSpacing * i;
    }
    dipSwitchText_ = std::to_string(dipSwitchProgram);
    if (dipSwitchProgram > programCount) {
        // The switches select a program the unit does not hold: the user may still
        // choose, among the numbers accepted before.
        dipSwitchInvalid_ = true;
        warningVisible_ = true;
        warningText_ = "Warning: the dipswitch setting of your " + std::string(deviceName) +
                       " is currently set to load an invalid program number. Please change "
                       "the dipswitch to load a program number between 1 and " +
                       std::to_string(programCount);
        showNumber(1);
    } else {
        // A unit may report more programs than a request can address.
        maxProgramNumber_ = std::min(programCount, kMaxAddressableProgram);
        dipSwitchInvalid_ = false;
        warningVisible_ = false;
        const bool offered = proposed >= 1 && proposed <= maxProgramNumber_;
        showNumber(offered ? proposed : dipSwitchProgram);
    }
}

void ProgramPrompt::showNumber(int number) {
    // Writing the field and the spin control raises their change events.
    numberText_ = std::to_string(number);
    spinValue_ = number;
    setProgramNumber(number);
}

void ProgramPrompt::setProgramNumber(int proposed) {
    if (settingNumber_) {
        return;
    }
    settingNumber_ = true;
    if (!inRange(currentNumber_, maxProgramNumber_)) {
        currentNumber_ = 1;
    }
    const bool accepted = inRange(proposed, maxProgramNumber_);
    if (accepted) {
        currentNumber_ = proposed;
    }
    numberText_ = std::to_string(currentNumber_);
    spinValue_ = currentNumber_;
    if (fieldsChanged_) {
        fieldsChanged_();
    }
    if (accepted) {
        drawDipSwitch(currentNumber_);
    }
    settingNumber_ = false;
}

void ProgramPrompt::drawDipSwitch(int number) {
    int remaining = number - 1;
    for (int i = kSwitchBits - 1; i >= 0; --i) {
        auto& lever = levers_[static_cast<std::size_t>(i)];
        lever.visible = true;
        const int weight = 1 << i;
        if (weight <= remaining) {
            remaining -= weight;
            lever.top = kLeverDownTop;
        } else {
            lever.top = kLeverUpTop;
        }
    }
}

void ProgramPrompt::numberTextChanged(std::string_view text) {
    if (settingNumber_) {
        return;
    }
    numberText_ = std::string(text.substr(0, kNumberFieldChars));
    setProgramNumber(promptNumber(numberText_));
}

void ProgramPrompt::spinChanged(int value) {
    if (settingNumber_) {
        return;
    }
    spinValue_ = value;
    setProgramNumber(value);
}

void ProgramPrompt::pressOk() {
    promptResult_ = numberText_;
}

void ProgramPrompt::pressCancel() {
    promptResult_ = std::string(kCancelResult);
}

int ProgramPrompt::result() const {
    if (promptResult_ == kCancelResult) {
        return -1;
    }
    return promptNumber(promptResult_);
}

}  // namespace vrx
