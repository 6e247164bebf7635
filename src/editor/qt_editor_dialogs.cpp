#include "editor/qt_editor_dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

namespace vrx {
namespace {

constexpr int kOpenerStartMs = 5000;
constexpr int kOpenerAnswerMs = 3000;

// "Tallowmere VRXConfig files (*.vrx)" gives "vrx", "CSV (*.csv);;PDF (*.pdf)" gives "csv".
QString firstSuffixOf(const QString& filter) {
    const auto match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

QString QtEditorDialogs::askOpenFileName(QWidget* owner, const QString& title,
                                         const QString& filter, const QString& folder) {
    return QFileDialog::getOpenFileName(owner, title, folder, filter);
}

QString QtEditorDialogs::askSaveFileName(QWidget* owner, const QString& title,
                                         const QString& filter, const QString& folder) {
    QFileDialog dialog(owner, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The suffix is added inside the dialog so that its overwrite question is asked
    // about the file that will really be written.
    dialog.setDefaultSuffix(firstSuffixOf(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

EditorDialogs::TypedFileName QtEditorDialogs::askSaveTypedFileName(QWidget* owner,
                                                                   const QString& title,
                                                                   const QString& filters,
                                                                   const QString& folder,
                                                                   const QString& proposedName) {
    QFileDialog dialog(owner, title, folder, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(proposedName);
    // The suffix follows the type chosen, so the overwrite question names the real file.
    dialog.setDefaultSuffix(firstSuffixOf(filters));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(firstSuffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return {dialog.selectedFiles().first(), dialog.selectedNameFilter()};
}

bool QtEditorDialogs::askYesNo(QWidget* owner, const QString& title, const QString& text) {
    return QMessageBox::question(owner, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

EditorDialogs::Answer QtEditorDialogs::askYesNoCancel(QWidget* owner, const QString& title,
                                                      const QString& text) {
    switch (QMessageBox::question(owner, title, text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool QtEditorDialogs::askPrinter(QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

void QtEditorDialogs::showInformation(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox::information(owner, title, text);
}

void QtEditorDialogs::showWarning(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
    // A warning may name a file or an address the user wants to copy.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

bool QtEditorDialogs::openDocument(const QUrl& address) {
    // Started and left to itself, the opener says nothing when no program takes the
    // document (without a browser it only complains on its own error output): its exit
    // code tells. One still running after a while has handed the document on.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    opener->start(documentOpener_, {address.toString()});
    if (!opener->waitForStarted(kOpenerStartMs)) {
        delete opener;
        return false;
    }
    if (!opener->waitForFinished(kOpenerAnswerMs)) {
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
        return true;
    }
    const bool opened = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    opener->deleteLater();
    return opened;
}

}  // namespace vrx
