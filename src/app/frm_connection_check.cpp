#include "app/frm_connection_check.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrx::app {
namespace {

// Input is looked at this often while the check runs.
constexpr int kStepMs = 10;

}  // namespace

frmConnectionCheck::frmConnectionCheck(Context context, QWidget* parent)
    : QDialog(parent),
      context_(std::move(context)),
      check_(context_.rounds, context_.clock,
             [this](ByteView message) { return context_.output.sendSysex(message); }) {
    setObjectName(QStringLiteral("frmConnectionCheck"));
    setWindowTitle(tr("Test MIDI Connection"));
    txtResult_ = new QPlainTextEdit(this);
    txtResult_->setObjectName(QStringLiteral("txtResult"));
    txtResult_->setReadOnly(true);
    txtResult_->setMinimumSize(560, 180);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtResult_);
    layout->addWidget(buttons);

    txtResult_->setPlainText(tr("Asking the VRX through %1: %2 identity exchanges and %2 reads "
                                "of its DIP-switch program. Nothing is written...")
                                 .arg(QString::fromStdString(context_.devices))
                                 .arg(context_.rounds));
    auto& input = context_.input;
    auto& output = context_.output;
    input.selectDevice(inputDeviceForPosition(context_.setup.portInDevice));
    output.selectDevice(outputDeviceForPosition(context_.setup.portOutDevice));
    for (const auto& opened : {input.open(), output.open()}) {
        if (!opened) {
            txtResult_->setPlainText(QString::fromStdString(opened.error()));
            over_ = true;
            return;
        }
    }
    input.setMessageHandler([this] {
        auto& in = context_.input;
        for (; in.queuedMessageCount() > 0; in.removeCurrentMessage()) {
            check_.onMessage(in.currentMessage().sysex);
        }
    });
    input.start();
    check_.start();
    connect(&timer_, &QTimer::timeout, this, &frmConnectionCheck::step);
    timer_.start(kStepMs);
}

frmConnectionCheck::~frmConnectionCheck() {
    finish();
}

QString frmConnectionCheck::shownText() const {
    return txtResult_->toPlainText();
}

void frmConnectionCheck::step() {
    if (over_) {
        return;
    }
    context_.input.dispatchEvents();
    check_.tick();
    if (check_.finished()) {
        QStringList lines;
        for (const auto& line : connectionVerdict(check_.result(), context_.devices)) {
            lines << QString::fromStdString(line);
        }
        txtResult_->setPlainText(lines.join(u'\n'));
        finish();
    }
}

void frmConnectionCheck::finish() {
    if (over_) {
        return;
    }
    over_ = true;
    timer_.stop();
    context_.input.close();
    context_.output.close();
    context_.returnInput();
}

}  // namespace vrx::app
