#include "editor/channel_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QStyle>

#include "editor/combo_fill.h"
#include "editor/wheel_with_focus.h"

namespace vrx {
namespace {

enum Column {
    kNumberColumn,
    kKeyboardColumn,
    kAnalogColumn,
    kControllerColumn,
    kOffsetColumn,
    kWarningColumn
};

constexpr int kWarningPictureSize = 20;

NameList keyOffsetNames() {
    NameList names;
    for (int offset = kKeyOffsetMax; offset >= kKeyOffsetMin; --offset) {
        names.push_back(keyOffsetText(offset));
    }
    return names;
}

QString rowName(const char* column, int channel) {
    return QStringLiteral("%1_%2").arg(QLatin1String(column)).arg(channel);
}

QComboBox* makeCombo(QWidget* parent, const char* column, int channel, const NameList& names) {
    auto* box = new QComboBox(parent);
    box->setObjectName(rowName(column, channel));
    fillCombo(*box, names);
    takeWheelOnlyWithFocus(*box);
    return box;
}

}  // namespace

ChannelPanel::ChannelPanel(ProgramData& data, QWidget* parent)
    : QGroupBox(tr("MIDI Channel Configuration"), parent), data_(data) {
    setObjectName("fraMidiChannel");
    layoutMidiChannelRows();
    refresh();
}

void ChannelPanel::layoutMidiChannelRows() {
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);

    const auto caption = [&](const QString& text, int column, int span = 1) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("lblMidiChannel_%1").arg(column));
        grid->addWidget(label, 0, column, 1, span);
    };
    caption(tr("#"), kNumberColumn);
    caption(tr("Input Keyboard"), kKeyboardColumn);
    caption(tr("Analog Input    +   Controller Type"), kAnalogColumn, 2);
    caption(tr("Key Offset"), kOffsetColumn);

    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const NameList offsets = keyOffsetNames();
    for (int c = 0; c < kMidiChannels; ++c) {
        Row& row = rows_[c];
        row.midiChannel = new QLabel(QString::number(c + 1), this);
        row.midiChannel->setObjectName(rowName("midiChannel", c));
        row.midiChannel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.inputKeyboard = makeCombo(this, "inputKeyboard", c, keyboardNames());
        row.analogInput = makeCombo(this, "analogInput", c, analogInputNames());
        row.cboMidiController = makeCombo(this, "cboMidiController", c, controllerNames());
        row.transposeInput = makeCombo(this, "transposeInput", c, offsets);
        row.picIcon = new QLabel(this);
        row.picIcon->setObjectName(rowName("picIcon", c));
        row.picIcon->setPixmap(warning.pixmap(kWarningPictureSize, kWarningPictureSize));
        // The row keeps the picture's room so that nothing shifts when it appears.
        QSizePolicy keepRoom = row.picIcon->sizePolicy();
        keepRoom.setRetainSizeWhenHidden(true);
        row.picIcon->setSizePolicy(keepRoom);
        row.picIcon->hide();

        row.midiChannel->setBuddy(row.inputKeyboard);
        const int line = c + 1;
        grid->addWidget(row.midiChannel, line, kNumberColumn);
        grid->addWidget(row.inputKeyboard, line, kKeyboardColumn);
        grid->addWidget(row.analogInput, line, kAnalogColumn);
        grid->addWidget(row.cboMidiController, line, kControllerColumn);
        grid->addWidget(row.transposeInput, line, kOffsetColumn);
        grid->addWidget(row.picIcon, line, kWarningColumn);

        connect(row.inputKeyboard, &QComboBox::currentIndexChanged, this, [this, c](int index) {
            if (index >= 0) {
                data_.channels[c].inputKeyboard = index;
            }
        });
        connect(row.analogInput, &QComboBox::currentIndexChanged, this, [this, c](int index) {
            if (index >= 0) {
                data_.channels[c].analogInput = index;
            }
            rows_[c].cboMidiController->setEnabled(index >= 1);
        });
        connect(row.cboMidiController, &QComboBox::currentIndexChanged, this, [this, c](int index) {
            if (index >= 0) {
                data_.channels[c].controllerType = index;
            }
        });
        connect(row.transposeInput, &QComboBox::currentIndexChanged, this, [this, c](int index) {
            if (index >= 0) {
                data_.channels[c].keyOffset = indexToKeyOffset(index);
            }
        });
    }
    grid->setColumnStretch(kKeyboardColumn, 2);
    grid->setColumnStretch(kAnalogColumn, 1);
    grid->setColumnStretch(kControllerColumn, 2);
    grid->setColumnStretch(kOffsetColumn, 1);
    grid->setColumnStretch(kWarningColumn + 1, 3);
    grid->setRowStretch(kMidiChannels + 1, 1);
}

void ChannelPanel::showRow(int channel) {
    const ChannelSetting& setting = data_.channels[channel];
    Row& row = rows_[channel];
    {
        const QSignalBlocker a(row.inputKeyboard), b(row.analogInput), d(row.cboMidiController),
            e(row.transposeInput);
        showComboIndex(*row.inputKeyboard, setting.inputKeyboard);
        showComboIndex(*row.analogInput, setting.analogInput);
        showComboIndex(*row.cboMidiController, setting.controllerType);
        showComboIndex(*row.transposeInput, keyOffsetToIndex(setting.keyOffset));
    }
    row.cboMidiController->setEnabled(setting.analogInput >= 1);
}

void ChannelPanel::refresh() {
    for (int c = 0; c < kMidiChannels; ++c) {
        showRow(c);
    }
}

void ChannelPanel::checkMidiStopChannels() {
    for (auto& row : rows_) {
        row.inputKeyboard->setEnabled(true);
        row.picIcon->hide();
    }
    for (int r = 1; r <= kPinRows; ++r) {
        const PinAssignment& pin = data_.pins[r - 1];
        if (pin.pinFunction != kMidiStop || pin.pinMidiChannel < 0 ||
            pin.pinMidiChannel >= kMidiChannels) {
            continue;
        }
        const int c = pin.pinMidiChannel;
        data_.channels[c].inputKeyboard = 0;
        showRow(c);
        rows_[c].inputKeyboard->setEnabled(false);
        rows_[c].picIcon->setToolTip(
            tr("MIDI Stop on Control Input #%1 is using this MIDI channel!").arg(r));
        rows_[c].picIcon->show();
    }
}

}  // namespace vrx
