#include "editor/channel_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

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
        row.midiChannel->setAutoFillBackground(true);
        row.midiChannel->setCursor(Qt::PointingHandCursor);
        row.midiChannel->installEventFilter(this);
        const int line = c + 1;
        grid->addWidget(row.midiChannel, line, kNumberColumn);
        grid->addWidget(row.inputKeyboard, line, kKeyboardColumn);
        grid->addWidget(row.analogInput, line, kAnalogColumn);
        grid->addWidget(row.cboMidiController, line, kControllerColumn);
        grid->addWidget(row.transposeInput, line, kOffsetColumn);
        grid->addWidget(row.picIcon, line, kWarningColumn);

        const auto send = [this, c](ChannelField field, int value) {
            sendEdit(editSink_, data_, ChannelEdit{c, field, value});
        };
        connect(row.inputKeyboard, &QComboBox::currentIndexChanged, this, [send](int index) {
            if (index >= 0) {
                send(ChannelField::InputKeyboard, index);
            }
        });
        connect(row.analogInput, &QComboBox::currentIndexChanged, this, [this, c, send](int index) {
            rows_[c].cboMidiController->setEnabled(index >= 1);
            if (index >= 0) {
                send(ChannelField::AnalogInput, index);
            }
        });
        connect(row.cboMidiController, &QComboBox::currentIndexChanged, this, [send](int index) {
            if (index >= 0) {
                send(ChannelField::ControllerType, index);
            }
        });
        connect(row.transposeInput, &QComboBox::currentIndexChanged, this, [send](int index) {
            if (index >= 0) {
                send(ChannelField::KeyOffset, indexToKeyOffset(index));
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

bool ChannelPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (int c = 0; c < kMidiChannels; ++c) {
            if (watched == rows_[c].midiChannel) {
                clickChannelNumber(c, static_cast<QMouseEvent*>(event)->modifiers());
                return true;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void ChannelPanel::clickChannelNumber(int channel, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ShiftModifier) {
        selected_.fill(false);
        for (int c = std::min(channel, selectionAnchor_); c <= std::max(channel, selectionAnchor_);
             ++c) {
            selected_[c] = true;
        }
    } else if (modifiers & Qt::ControlModifier) {
        selected_[channel] = !selected_[channel];
        selectionAnchor_ = channel;
    } else {
        selected_.fill(false);
        selected_[channel] = true;
        selectionAnchor_ = channel;
    }
    rows_[channel].inputKeyboard->setFocus(Qt::MouseFocusReason);
    showSelection();
}

void ChannelPanel::selectChannels(const std::vector<int>& channels) {
    selected_.fill(false);
    for (const int c : channels) {
        if (c >= 0 && c < kMidiChannels) {
            selected_[c] = true;
        }
    }
    showSelection();
}

void ChannelPanel::showSelection() {
    for (int c = 0; c < kMidiChannels; ++c) {
        rows_[c].midiChannel->setBackgroundRole(selected_[c] ? QPalette::Highlight
                                                             : QPalette::Window);
        rows_[c].midiChannel->setForegroundRole(selected_[c] ? QPalette::HighlightedText
                                                             : QPalette::WindowText);
    }
}

std::vector<int> ChannelPanel::selectedChannels() const {
    std::vector<int> channels;
    for (int c = 0; c < kMidiChannels; ++c) {
        if (selected_[c]) {
            channels.push_back(c);
        }
    }
    if (channels.empty()) {
        for (int c = 0; c < kMidiChannels; ++c) {
            const Row& row = rows_[c];
            for (const QWidget* control :
                 {static_cast<QWidget*>(row.inputKeyboard), static_cast<QWidget*>(row.analogInput),
                  static_cast<QWidget*>(row.cboMidiController),
                  static_cast<QWidget*>(row.transposeInput)}) {
                if (control->hasFocus()) {
                    channels.push_back(c);
                }
            }
        }
    }
    return channels;
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
        showRow(c);
        rows_[c].inputKeyboard->setEnabled(false);
        rows_[c].picIcon->setToolTip(
            tr("MIDI Stop on Control Input #%1 is using this MIDI channel!").arg(r));
        rows_[c].picIcon->show();
    }
}

}  // namespace vrx
