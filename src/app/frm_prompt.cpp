#include "app/frm_prompt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/centring.h"
#include "app/dip_switch_view.h"

namespace vrx::app {
namespace {

constexpr int kSpinMinimum = 1;
constexpr int kSpinMaximum = 300;

// A green circuit board, shown beside the switches when the unit's setting is valid.
QPixmap circuitBoardPicture(QSize size) {
    QPixmap picture(size);
    picture.fill(QColor(20, 110, 50));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 170, 60), 2));
    for (int i = 0; i < 9; ++i) {
        const int y = 12 + i * (size.height() - 24) / 8;
        p.drawLine(8, y, size.width() / 2, y);
        p.drawLine(size.width() / 2, y, size.width() / 2 + 20, y + (i % 2 ? 10 : -10));
        p.drawEllipse(QPointF(size.width() / 2 + 22, y + (i % 2 ? 11 : -11)), 3, 3);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(
        QRect(size.width() / 2 + 36, size.height() / 4, size.width() / 3, size.height() / 2));
    p.setBrush(QColor(190, 190, 190));
    for (int i = 0; i < 6; ++i) {
        const int y = size.height() / 4 + 6 + i * (size.height() / 2 - 12) / 5;
        p.drawRect(QRect(size.width() / 2 + 30, y, 6, 3));
        p.drawRect(QRect(size.width() / 2 + 36 + size.width() / 3, y, 6, 3));
    }
    return picture;
}

DipSwitchView::Lever leverOf(const DipLever& lever) {
    if (!lever.visible) {
        return DipSwitchView::Lever::Hidden;
    }
    return lever.top == ProgramPrompt::kLeverDownTop ? DipSwitchView::Lever::Down
                                                     : DipSwitchView::Lever::Up;
}

}  // namespace

frmPrompt::frmPrompt(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPrompt"));
    setModal(true);

    picGo_ = new QLabel(this);
    picGo_->setObjectName(QStringLiteral("picGo"));
    picGo_->setPixmap(circuitBoardPicture(QSize(173, 145)));
    lblWarning_ = new QLabel(tr("Warning message!"), this);
    lblWarning_->setObjectName(QStringLiteral("lblWarning"));
    lblWarning_->setWordWrap(true);
    lblWarning_->setFixedWidth(173);
    lblWarning_->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* lblDipSwitch = new QLabel(tr("DIP Switch is set to:"), this);
    lblDipSwitch->setObjectName(QStringLiteral("lblDipSwitch"));
    txtDipSwitch_ = new QLineEdit(this);
    txtDipSwitch_->setObjectName(QStringLiteral("txtDipSwitch"));
    txtDipSwitch_->setReadOnly(true);
    txtDipSwitch_->setFocusPolicy(Qt::NoFocus);
    txtDipSwitch_->setFixedWidth(48);

    auto* lblNumber = new QLabel(tr("Use Program Data #:"), this);
    lblNumber->setObjectName(QStringLiteral("lblNumber"));
    txtNumber_ = new QLineEdit(this);
    txtNumber_->setObjectName(QStringLiteral("txtNumber"));
    txtNumber_->setMaxLength(static_cast<int>(ProgramPrompt::kNumberFieldChars));
    txtNumber_->setFixedWidth(48);
    lblNumber->setBuddy(txtNumber_);
    txtNumberS_ = new QSpinBox(this);
    txtNumberS_->setObjectName(QStringLiteral("txtNumberS"));
    txtNumberS_->setRange(kSpinMinimum, kSpinMaximum);
    // Only the arrows of the spin control show; the number field beside it is the text.
    txtNumberS_->setFixedWidth(txtNumberS_->sizeHint().height());
    txtNumberS_->setStyleSheet(QStringLiteral("QSpinBox { color: transparent; }"));
    txtNumberS_->setFocusPolicy(Qt::NoFocus);

    picDipSwitch_ = new DipSwitchView(this);

    cmdOK_ = new QPushButton(tr("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(tr("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* fields = new QGridLayout;
    fields->addWidget(lblDipSwitch, 0, 0);
    fields->addWidget(txtDipSwitch_, 0, 1);
    fields->addWidget(lblNumber, 1, 0);
    auto* number = new QHBoxLayout;
    number->setSpacing(0);
    number->addWidget(txtNumber_);
    number->addWidget(txtNumberS_);
    fields->addLayout(number, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* right = new QVBoxLayout;
    right->addLayout(fields);
    right->addWidget(picDipSwitch_, 0, Qt::AlignCenter);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picGo_, 0, Qt::AlignTop);
    layout->addWidget(lblWarning_, 0, Qt::AlignTop);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(txtNumber_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (prompt_) {
            prompt_->numberTextChanged(text.toStdString());
            showPromptFields();
        }
    });
    connect(txtNumber_, &QLineEdit::editingFinished, this, [this] {
        if (prompt_) {
            prompt_->numberTextChanged(txtNumber_->text().toStdString());
            showPromptFields();
        }
    });
    connect(txtNumberS_, &QSpinBox::valueChanged, this, [this](int value) {
        if (prompt_) {
            prompt_->spinChanged(value);
            showPromptFields();
        }
    });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        prompt_->numberTextChanged(txtNumber_->text().toStdString());
        prompt_->pressOk();
        done(QDialog::Accepted);
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        prompt_->pressCancel();
        done(QDialog::Rejected);
    });
}

int frmPrompt::askProgramNumber(std::string_view title, ProgramPrompt& prompt) {
    prompt_ = &prompt;
    prompt.setFieldsChangedHandler([this] { showPromptFields(); });
    setWindowTitle(QString::fromUtf8(title.data(), static_cast<int>(title.size())));
    showPromptFields();
    adjustSize();
    centreOver(*this, parentWidget());
    txtNumber_->setFocus();
    txtNumber_->selectAll();
    exec();
    prompt.setFieldsChangedHandler({});
    return prompt.result();
}

void frmPrompt::keyPressEvent(QKeyEvent* event) {
    // Esc means Cancel here; the dialog's own Esc would close it with no answer at all.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmPrompt::showPromptFields() {
    const QSignalBlocker blockNumber(txtNumber_);
    const QSignalBlocker blockSpin(txtNumberS_);
    const auto& p = *prompt_;
    txtDipSwitch_->setText(QString::fromStdString(p.dipSwitchText()));
    // A DIP setting the unit does not hold shows on red.
    txtDipSwitch_->setStyleSheet(
        p.dipSwitchInvalid() ? QStringLiteral("QLineEdit { background: red; color: white; }")
                             : QString());
    if (txtNumber_->text().toStdString() != p.numberText()) {
        txtNumber_->setText(QString::fromStdString(p.numberText()));
    }
    txtNumberS_->setValue(p.spinValue());
    lblWarning_->setVisible(p.warningVisible());
    lblWarning_->setText(QString::fromStdString(p.warningText()));
    picGo_->setVisible(p.pictureVisible());
    std::array<DipSwitchView::Lever, DipSwitchView::kSwitches> levers{};
    for (int i = 0; i < DipSwitchView::kSwitches; ++i) {
        levers[static_cast<std::size_t>(i)] = leverOf(p.levers()[static_cast<std::size_t>(i)]);
    }
    picDipSwitch_->setLevers(levers);
}

}  // namespace vrx::app
