#include "app/frm_status.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vrx::app {
namespace {
// The unit's texts end their lines with CR LF; the text box wants plain newlines.
QString withNewlines(QString text) {
    return text.replace(QStringLiteral("\r\n"), "\n");
}
constexpr int kStatusChars = 52;
constexpr int kStatusLines = 10;

}  // namespace

frmStatus::frmStatus(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmStatus"));
    setModal(false);
    // Room for the longest status line, "Check your MIDI connections...", in the user's
    // font, and a few lines of it.
    setMinimumSize(fontMetrics().averageCharWidth() * kStatusChars,
                   fontMetrics().lineSpacing() * kStatusLines);
    txtStatus_ = new QPlainTextEdit(this);
    txtStatus_->setObjectName(QStringLiteral("txtStatus"));
    txtStatus_->setReadOnly(true);
    txtStatus_->setTabChangesFocus(true);
    txtStatus_->viewport()->installEventFilter(this);
    cmdClose_ = new QPushButton(tr("&Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setDefault(true);
    connect(cmdClose_, &QPushButton::clicked, this, &frmStatus::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtStatus_);
    layout->addLayout(buttons);
}

void frmStatus::setStatusText(const QString& text) {
    txtStatus_->setPlainText(withNewlines(text));
    showNewestLine();
}

void frmStatus::appendStatusText(const QString& text) {
    txtStatus_->moveCursor(QTextCursor::End);
    txtStatus_->insertPlainText(withNewlines(text));
    showNewestLine();
}

QString frmStatus::statusText() const {
    return txtStatus_->toPlainText().replace('\n', QStringLiteral("\r\n"));
}

void frmStatus::unload() {
    hide();
    txtStatus_->clear();
}

void frmStatus::showNewestLine() {
    txtStatus_->moveCursor(QTextCursor::End);
    txtStatus_->verticalScrollBar()->setValue(txtStatus_->verticalScrollBar()->maximum());
}

void frmStatus::closeEvent(QCloseEvent* event) {
    emit closedByUser();
    event->accept();
}

void frmStatus::reject() {
    // Esc closes the window like its close button does.
    close();
}

bool frmStatus::eventFilter(QObject* watched, QEvent* event) {
    // A click into the text gives the focus to the close button, so Enter or Space
    // closes the window.
    if (watched == txtStatus_->viewport() && event->type() == QEvent::MouseButtonPress) {
        cmdClose_->setFocus();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vrx::app
