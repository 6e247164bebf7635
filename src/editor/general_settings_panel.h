#pragma once

#include <QWidget>

#include <array>

#include "editor/edit_sink.h"
#include "model/program_data.h"

class QCheckBox;
class QComboBox;

namespace vrx {

// The "General Settings" tab: the Ahlborn Archive crescendo input and channel
// (cboArchiveAnalogInput_0 and _1), the tuning pot input (cboTuningInput) and the five
// tuning options (chkTuning_0 to chkTuning_4). Choices go straight into the ProgramData.
class GeneralSettingsPanel : public QWidget {
    Q_OBJECT
public:
    GeneralSettingsPanel(ProgramData& data, QWidget* parent = nullptr);

    void refresh();
    // Where the panel's edits go; without a sink they are written into the data.
    void setEditSink(EditSink sink) { editSink_ = std::move(sink); }

private:
    void bindCombo(QComboBox* box, GeneralField field);

    EditSink editSink_;
    ProgramData& data_;
    QComboBox* archiveInput_ = nullptr;
    QComboBox* archiveChannel_ = nullptr;
    QComboBox* tuningInput_ = nullptr;
    std::array<QCheckBox*, kTuningOptions> tuningOptions_{};
};

}  // namespace vrx
