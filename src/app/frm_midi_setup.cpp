#include "app/frm_midi_setup.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/centring.h"
#include "files/log_file.h"
#include "files/program_settings.h"
#include "protocol/midi_device_list.h"

#include <algorithm>

namespace vrx::app {
namespace {

constexpr int kListMarginChars = 4;
constexpr int kListChars = 32;

// Device names can be longer than the closed list shows: each entry carries its whole
// name as a tooltip, and the open list is as wide as its longest entry.
void fillList(QComboBox& list, const std::vector<std::string>& entries) {
    list.clear();
    int widest = 0;
    for (const auto& entry : entries) {
        const auto text = QString::fromStdString(entry);
        list.addItem(text);
        list.setItemData(list.count() - 1, text, Qt::ToolTipRole);
        widest = std::max(widest, list.fontMetrics().horizontalAdvance(text));
    }
    list.view()->setMinimumWidth(widest + list.view()->verticalScrollBar()->sizeHint().width() +
                                 list.fontMetrics().averageCharWidth() * kListMarginChars);
    list.setToolTip(list.currentText());
}

// What OK says when a list still invites a choice: a load would only wait for a unit
// it cannot reach.
QString missingDevicesText(bool inputMissing, bool outputMissing) {
    const QString input = QStringLiteral("[Choose a MIDI in device]");
    const QString output = QStringLiteral("[Choose a MIDI out device]");
    if (inputMissing && outputMissing) {
        return frmMIDISetup::tr(
                   "Choose the MIDI in and MIDI out devices the VRX is connected "
                   "to: both lists still show \"%1\" and \"%2\".")
            .arg(input, output);
    }
    return frmMIDISetup::tr(
               "Choose the %1 device the VRX is connected to: its list still "
               "shows \"%2\".")
        .arg(inputMissing ? QStringLiteral("MIDI in") : QStringLiteral("MIDI out"),
             inputMissing ? input : output);
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
        list->setMinimumContentsLength(kListChars);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        connect(list, &QComboBox::currentTextChanged, list, &QComboBox::setToolTip);
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

    // The service is chosen when the program starts (--midi-api): shown, not changed here.
    auto* lblMidiApi = new QLabel(
        tr("MIDI service: %1")
            .arg(QString::fromUtf8(
                midiApiTitle(context_.settings.midiApi()).data(),
                static_cast<qsizetype>(midiApiTitle(context_.settings.midiApi()).size()))),
        this);
    lblMidiApi->setObjectName(QStringLiteral("lblMidiApi"));
    lblMidiApi->setToolTip(
        tr("Start VRXConfig with --midi-api alsa or --midi-api jack to "
           "choose the MIDI service; the choice is kept for the next run."));

    auto* form = new QFormLayout;
    form->addRow(Label1, ComboMidiIn_);
    form->addRow(Label2, ComboMidiOut_);
    form->addRow(lblMidiApi);
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
    const auto serviceMissing = context_.devicesError ? context_.devicesError() : std::string();
    if (!outputs.error.empty() || !inputs.error.empty() || !serviceMissing.empty()) {
        // Which service was tried, so the user knows what to start or to choose instead.
        const auto& why = !serviceMissing.empty()  ? serviceMissing
                          : !outputs.error.empty() ? outputs.error
                                                   : inputs.error;
        context_.showError(QString::fromUtf8(kNoMidiCardMessage) + QStringLiteral("\n\n") +
                           QString::fromStdString(why));
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
    const bool inputMissing = ComboMidiIn_->currentIndex() < 1;
    const bool outputMissing = ComboMidiOut_->currentIndex() < 1;
    if (inputMissing || outputMissing) {
        context_.showError(missingDevicesText(inputMissing, outputMissing));
        return;
    }
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
