#include "editor/compare_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/editor_dialogs.h"
#include "editor/local_path.h"
#include "files/atomic_file.h"

namespace vrx {
namespace {

constexpr int kStartWidth = 720;
constexpr int kStartHeight = 480;
const QString kTextFilter = QStringLiteral("Text files (*.txt)");

QString headingText(const QString& otherName, const QString& editorName, std::size_t count) {
    if (count == 0) {
        return QObject::tr("%1 and %2 are the same.").arg(otherName, editorName);
    }
    if (count == 1) {
        return QObject::tr("1 difference from %1 to %2:").arg(otherName, editorName);
    }
    return QObject::tr("%1 differences from %2 to %3:").arg(count).arg(otherName, editorName);
}

}  // namespace

CompareWindow::CompareWindow(const QString& otherName, const QString& editorName,
                             const std::vector<Difference>& differences, EditorDialogs& dialogs,
                             QString folder, QWidget* parent)
    : QDialog(parent),
      heading_(headingText(otherName, editorName, differences.size())),
      text_(QString::fromStdString(differencesText(differences))),
      dialogs_(dialogs),
      folder_(std::move(folder)) {
    setObjectName("frmCompare");
    setWindowTitle(tr("Compare with %1").arg(otherName));
    auto* heading = new QLabel(heading_, this);
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
    // A file read later, away from the window, must still say what was compared.
    const Status written =
        writeFileAtomically(localPath(path), (heading_ + "\n\n" + text_).toStdString());
    if (!written) {
        dialogs_.showWarning(this, tr("File Save Error!"),
                             QString::fromStdString(written.error()) + " : " + path);
    }
}

}  // namespace vrx
