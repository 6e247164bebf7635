#include "app/frm_midi_setup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/centring.h"
#include "files/log_file.h"
#include "files/program_settings.h"
#include "protocol/midi_device_list.h"

namespace vrx::app {
namespace {

void fillList(QComboBox& list, const std::vector<std::string>& entries) {
    list.clear();
    for (const auto& entry : entries) {
        list.addItem(QString::fromStdString(entry));
    }
}

// The stored choice preselects its entry when that device is still there; otherwise an
// earlier choice of this run that still fits, else the invitation.
int preselect(int stored, int& port, int entries) {
    if (stored >= 1 && stored < entries) {
        port = stored;
    }
    return port >= 1 && port < entries ? port : 0;
}

}  // namespace

frmMIDISetup::frmMIDISetup(Context context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("frmMIDISetup"));
    setWindowTitle(tr("MIDI I/O Setup"));
    setModal(true);

    ComboMidiIn_ = new QComboBox(this);
    ComboMidiIn_->setObjectName(QStringLiteral("ComboMidiIn"));
    ComboMidiOut_ = new QComboBox(this);
    ComboMidiOut_->setObjectName(QStringLiteral("ComboMidiOut"));
    for (auto* list : {ComboMidiIn_, ComboMidiOut_}) {
        list->setMinimumContentsLength(32);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    auto* Label1 = new QLabel(tr("MIDI &In:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(ComboMidiIn_);
    auto* Label2 = new QLabel(tr("MIDI &Out:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setBuddy(ComboMidiOut_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmMIDISetup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmMIDISetup::reject);

    auto* form = new QFormLayout;
    form->addRow(Label1, ComboMidiIn_);
    form->addRow(Label2, ComboMidiOut_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fillLists();
}

void frmMIDISetup::fillLists() {
    auto& setup = context_.setup;
    const auto outputs = outputDeviceEntries(context_.output);
    fillList(*ComboMidiOut_, outputs.entries);
    ComboMidiOut_->setCurrentIndex(preselect(context_.settings.midiOutDevice(), setup.portOutDevice,
                                             static_cast<int>(outputs.entries.size())));
    const auto inputs = inputDeviceEntries(context_.input);
    fillList(*ComboMidiIn_, inputs.entries);
    ComboMidiIn_->setCurrentIndex(preselect(context_.settings.midiInDevice(), setup.portInDevice,
                                            static_cast<int>(inputs.entries.size())));
    const bool serviceMissing = context_.devicesError && !context_.devicesError().empty();
    if (!outputs.error.empty() || !inputs.error.empty() || serviceMissing) {
        context_.showError(QString::fromUtf8(kNoMidiCardMessage));
        context_.writeLog(kLogNoMidiCard);
    }
}

void frmMIDISetup::runModal() {
    adjustSize();
    centreOver(*this, parentWidget());
    if (context_.hideStatus) {
        context_.hideStatus();
    }
    exec();
}

void frmMIDISetup::accept() {
    auto& setup = context_.setup;
    setup.midiSetupCancelled = false;
    setup.portInDevice = ComboMidiIn_->currentIndex() < 0 ? 0 : ComboMidiIn_->currentIndex();
    setup.portOutDevice = ComboMidiOut_->currentIndex() < 0 ? 0 : ComboMidiOut_->currentIndex();
    context_.settings.setMidiInDevice(static_cast<std::int16_t>(setup.portInDevice));
    context_.settings.setMidiOutDevice(static_cast<std::int16_t>(setup.portOutDevice));
    setup.midiConfigured = true;
    QDialog::accept();
}

void frmMIDISetup::reject() {
    context_.setup.midiSetupCancelled = true;
    if (context_.hideStatus) {
        context_.hideStatus();
    }
    QDialog::reject();
    // Unloaded: the next opening lists the devices afresh.
    deleteLater();
}

}  // namespace vrx::app
