#pragma once

#include <QGroupBox>

#include <array>

#include "model/program_data.h"

class QComboBox;
class QLabel;

namespace vrx {

// The frame "MIDI Channel Configuration": one row per MIDI channel with its input
// keyboard, analog input, controller type and key offset. Every choice goes straight
// into the ProgramData; refresh() shows the ProgramData again after it was replaced.
//
// Controls of row c (0 to 15) are named after their column with "_c" appended:
// midiChannel_c, inputKeyboard_c, analogInput_c, cboMidiController_c, transposeInput_c,
// picIcon_c.
class ChannelPanel : public QGroupBox {
    Q_OBJECT
public:
    ChannelPanel(ProgramData& data, QWidget* parent = nullptr);

    void refresh();

    // Channels played by a "MIDI Stop" pin lose their keyboard: it is set to "None" and
    // locked, and the row's warning picture names the (last) pin that uses it.
    void checkMidiStopChannels();

private:
    struct Row {
        QLabel* midiChannel = nullptr;
        QComboBox* inputKeyboard = nullptr;
        QComboBox* analogInput = nullptr;
        QComboBox* cboMidiController = nullptr;
        QComboBox* transposeInput = nullptr;
        QLabel* picIcon = nullptr;
    };

    void layoutMidiChannelRows();
    void showRow(int channel);

    ProgramData& data_;
    std::array<Row, kMidiChannels> rows_{};
};

}  // namespace vrx
