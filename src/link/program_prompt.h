#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace vrx {

// One lever of the DIP-switch picture, in twips within the picture.
struct DipLever {
    bool visible = false;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What the program number prompt shows and decides, without the window: the dialog
// shows these fields and forwards its events here. The prompt is kept for the whole
// run, so the highest accepted number and the last choice survive between uses.
class ProgramPrompt {
public:
    static constexpr int kLevers = 8;
    static constexpr int kLeverUpTop = 112;    // bit clear
    static constexpr int kLeverDownTop = 149;  // bit set
    static constexpr int kLeverFirstLeft = 500;
    static constexpr int kLeverSpacing = 213;
    static constexpr int kLeverWidth = 120;
    static constexpr int kLeverHeight = 135;
    static constexpr std::size_t kNumberFieldChars = 4;

    // Each time the dialog becomes active: the caption, the DIP box, the proposed number
    // and either the warning or the picture.
    // `proposed`, when it is a program of the unit, is offered instead of the DIP
    // switches' program (a write offers the program the editor holds from the unit).
    void open(std::string title, int dipSwitchProgram, int programCount,
              std::string_view deviceName, int proposed = 0);

    // Validates and applies a proposed number; one out of range restores the last
    // accepted number in the field and the spin control.
    void setProgramNumber(int proposed);
    void drawDipSwitch(int number);

    // Events of the dialog. Text that does not read as a number in range is undone.
    void numberTextChanged(std::string_view text);
    void spinChanged(int value);
    void pressOk();
    void pressCancel();

    // What askProgramNumber returns once the dialog has closed: -1 after Cancel, the
    // accepted number after OK, 0 when the dialog was closed in any other way.
    int result() const;

    const std::string& caption() const { return caption_; }
    const std::string& dipSwitchText() const { return dipSwitchText_; }
    bool dipSwitchInvalid() const { return dipSwitchInvalid_; }  // shown on red
    const std::string& numberText() const { return numberText_; }
    int spinValue() const { return spinValue_; }
    bool warningVisible() const { return warningVisible_; }
    const std::string& warningText() const { return warningText_; }
    bool pictureVisible() const { return !warningVisible_; }
    const std::array<DipLever, kLevers>& levers() const { return levers_; }
    int maxProgramNumber() const { return maxProgramNumber_; }
    int currentNumber() const { return currentNumber_; }

    // Called whenever the prompt itself rewrites the number field or the spin control.
    // The dialog copies them into its controls there; the change events that raises come
    // back through numberTextChanged and spinChanged and are ignored while the number
    // is being set.
    void setFieldsChangedHandler(std::function<void()> handler) {
        fieldsChanged_ = std::move(handler);
    }

private:
    void showNumber(int number);

    std::string promptResult_;
    std::string caption_;
    std::string dipSwitchText_;
    bool dipSwitchInvalid_ = false;
    std::string numberText_;
    int spinValue_ = 1;
    bool warningVisible_ = false;
    std::string warningText_ = "Warning message!";
    std::array<DipLever, kLevers> levers_{};
    int maxProgramNumber_ = 0;
    int currentNumber_ = 0;
    bool settingNumber_ = false;
    std::function<void()> fieldsChanged_;
};

// The leading number of a text as the prompt reads it ("12abc" is 12, "abc" is 0),
// rounded to a whole number; 0 when it does not fit 16 bits.
int promptNumber(std::string_view text);

}  // namespace vrx
