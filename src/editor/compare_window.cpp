#include "editor/compare_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/editor_dialogs.h"
#include "files/atomic_file.h"

namespace vrx {
namespace {

constexpr int kStartWidth = 720;
constexpr int kStartHeight = 480;
const QString kTextFilter = QStringLiteral("Text files (*.txt)");

QString headingText(const QString& otherName, std::size_t count) {
    if (count == 0) {
        return QObject::tr("%1 and the configuration in the editor are the same.").arg(otherName);
    }
    if (count == 1) {
        return QObject::tr("1 difference from %1 to the configuration in the editor:")
            .arg(otherName);
    }
    return QObject::tr("%1 differences from %2 to the configuration in the editor:")
        .arg(count)
        .arg(otherName);
}

}  // namespace

CompareWindow::CompareWindow(const QString& otherName, const std::vector<Difference>& differences,
                             EditorDialogs& dialogs, QString folder, QWidget* parent)
    : QDialog(parent),
      text_(QString::fromStdString(differencesText(differences))),
      dialogs_(dialogs),
      folder_(std::move(folder)) {
    setObjectName("frmCompare");
    setWindowTitle(tr("Compare with %1").arg(otherName));
    auto* heading = new QLabel(headingText(otherName, differences.size()), this);
    heading->setObjectName("lblCompareHeading");
    heading->setWordWrap(true);

    list_ = new QPlainTextEdit(text_, this);
    list_->setObjectName("txtDifferences");
    list_->setReadOnly(true);
    list_->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* save = buttons->addButton(tr("&Save as Text\u2026"), QDialogButtonBox::ActionRole);
    save->setObjectName("cmdSaveDifferences");
    connect(save, &QPushButton::clicked, this, &CompareWindow::saveAsText);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(kStartWidth, kStartHeight);
}

QString CompareWindow::listedText() const {
    return list_->toPlainText();
}

void CompareWindow::saveAsText() {
    const QString path =
        dialogs_.askSaveFileName(this, tr("Save Differences"), kTextFilter, folder_);
    if (path.isEmpty()) {
        return;
    }
    const Status written = writeFileAtomically(
        std::filesystem::path(QFile::encodeName(path).toStdString()), text_.toStdString());
    if (!written) {
        dialogs_.showWarning(this, tr("File Save Error!"),
                             QString::fromStdString(written.error()) + " : " + path);
    }
}

}  // namespace vrx
