#pragma once

#include <QGroupBox>

#include <array>
#include <vector>

#include "editor/edit_sink.h"
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
    // Where the panel's edits go; without a sink they are written into the data.
    void setEditSink(EditSink sink) { editSink_ = std::move(sink); }

    // The channels (0 to 15) chosen for copy and paste, in order: those whose "#" the user
    // clicked (Ctrl adds, Shift extends), else the row holding the keyboard focus.
    std::vector<int> selectedChannels() const;
    void selectChannels(const std::vector<int>& channels);

    // Channels played by a "MIDI Stop" pin show their keyboard locked, and the row's
    // warning picture names the (last) pin that uses it. Setting the keyboard to None is
    // the window's edit.
    void checkMidiStopChannels();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

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

    void clickChannelNumber(int channel, Qt::KeyboardModifiers modifiers);
    void showSelection();

    ProgramData& data_;
    std::array<Row, kMidiChannels> rows_{};
    std::array<bool, kMidiChannels> selected_{};
    int selectionAnchor_ = 0;
    EditSink editSink_;
};

}  // namespace vrx
