#pragma once

#include <QDialog>
#include <string_view>

#include "link/program_prompt.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vrx::app {

class DipSwitchView;

// The program number prompt: which program of the unit to load or write, with the unit's
// DIP-switch bank drawn for the chosen number. The rules live in ProgramPrompt; this
// window shows its fields and hands it every event.
class frmPrompt : public QDialog {
    Q_OBJECT
public:
    explicit frmPrompt(QWidget* parent = nullptr);

    // Shows the prompt (already opened by the link) modally and returns its result:
    // the number after OK, -1 after Cancel, 0 when closed otherwise.
    int askProgramNumber(std::string_view title, ProgramPrompt& prompt);

    // The prompt being shown, for tests that drive the dialog.
    ProgramPrompt* prompt() const { return prompt_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showPromptFields();

    ProgramPrompt* prompt_ = nullptr;
    QLabel* picGo_;
    QLabel* lblWarning_;
    QLineEdit* txtDipSwitch_;
    QLineEdit* txtNumber_;
    QSpinBox* txtNumberS_;
    DipSwitchView* picDipSwitch_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace vrx::app
