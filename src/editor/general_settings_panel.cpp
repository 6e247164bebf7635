#include "editor/general_settings_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editor/combo_fill.h"
#include "editor/wheel_with_focus.h"

namespace vrx {
namespace {

// Room for "None" and a little more, so the short lists do not look cramped.
constexpr int kShortestListChars = 8;

QComboBox* makeCombo(QWidget* parent, const QString& name, const NameList& names) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    fillCombo(*box, names);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumContentsLength(kShortestListChars);
    takeWheelOnlyWithFocus(*box);
    return box;
}

// A choice that writes its position into one field of the configuration.
void bindCombo(QComboBox* box, int& field) {
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [&field](int index) {
        if (index >= 0) {
            field = index;
        }
    });
}

}  // namespace

GeneralSettingsPanel::GeneralSettingsPanel(ProgramData& data, QWidget* parent)
    : QWidget(parent), data_(data) {
    auto* archive = new QGroupBox(tr("Ahlborn Archive Crescendo"), this);
    archive->setObjectName("fraArchive");
    archiveInput_ = makeCombo(archive, "cboArchiveAnalogInput_0", tuningInputNames());
    archiveChannel_ = makeCombo(archive, "cboArchiveAnalogInput_1", midiChannelNumbers());
    auto* archiveForm = new QFormLayout(archive);
    archiveForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    archiveForm->addRow(tr("Use with which Analog Input?"), archiveInput_);
    archiveForm->addRow(tr("On which MIDI channel?"), archiveChannel_);

    auto* tuning = new QGroupBox(tr("Tuning Configuration"), this);
    tuning->setObjectName("fraFineTuning");
    tuningInput_ = makeCombo(tuning, "cboTuningInput", tuningInputNames());
    auto* tuningLayout = new QVBoxLayout(tuning);
    auto* tuningForm = new QFormLayout;
    tuningForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    tuningForm->addRow(tr("Analog Input to be used as a tuning pot"), tuningInput_);
    tuningLayout->addLayout(tuningForm);
    const NameList& captions = tuningOptionCaptions();
    for (int k = 0; k < kTuningOptions; ++k) {
        auto* box = new QCheckBox(QString::fromStdString(captions[k]), tuning);
        box->setObjectName(QStringLiteral("chkTuning_%1").arg(k));
        tuningLayout->addWidget(box);
        connect(box, &QCheckBox::toggled, this,
                [this, k](bool on) { data_.tuningOptions[k] = on; });
        tuningOptions_[k] = box;
    }

    bindCombo(archiveInput_, data_.archiveAnalogInput);
    bindCombo(archiveChannel_, data_.archiveMidiChannel);
    bindCombo(tuningInput_, data_.tuningInput);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(archive);
    layout->addWidget(tuning);
    layout->addStretch(1);
    refresh();
}

void GeneralSettingsPanel::refresh() {
    const QSignalBlocker a(archiveInput_), b(archiveChannel_), c(tuningInput_);
    showComboIndex(*archiveInput_, data_.archiveAnalogInput);
    showComboIndex(*archiveChannel_, data_.archiveMidiChannel);
    showComboIndex(*tuningInput_, data_.tuningInput);
    for (int k = 0; k < kTuningOptions; ++k) {
        const QSignalBlocker quiet(tuningOptions_[k]);
        tuningOptions_[k]->setChecked(data_.tuningOptions[k]);
    }
}

}  // namespace vrx
