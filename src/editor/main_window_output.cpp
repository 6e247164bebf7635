// What the editor window puts out about its configuration: comparisons with another
// one, and the pin list exported to a file or printed.
#include <QAction>
#include <QDate>
#include <QFileInfo>
#include <QPrinter>

#include <variant>

#include "editor/compare_window.h"
#include "editor/editor_dialogs.h"
#include "editor/file_type_suffix.h"
#include "editor/main_window.h"
#include "editor/pin_list_export.h"
#include "editor/window_shared.h"
#include "files/config_file.h"
#include "model/differences.h"
#include "model/program_image.h"

namespace vrx {
namespace {
using window::kSaveErrorTitle;
const QString kCompareFileTitle = QStringLiteral("Compare with File");
const QString kExportTitle = QStringLiteral("Export Pin List");
const QString kExportFilter =
    QStringLiteral("PDF files (*.pdf);;CSV files (*.csv);;HTML files (*.html)");
}  // namespace

void MainWindow::compareWithFile() {
    commitPendingEdit();
    const QString path =
        dialogs_->askOpenFileName(this, kCompareFileTitle, kFileFilter, lastDirectory_);
    if (path.isEmpty()) {
        return;
    }
    rememberFolderOf(path);
    const QString name = QFileInfo(path).fileName();
    const ConfigFileContents contents = readConfigFile(localPath(path));
    if (const auto* image = std::get_if<Bytes>(&contents)) {
        if (const auto other = vrx::decodeProgramData(*image)) {
            showComparison(*other, name);
            return;
        }
    }
    dialogs_->showWarning(this, kCompareFileTitle, tr("%1 holds no VRX configuration.").arg(name));
}

void MainWindow::showComparison(const ProgramData& other, const QString& otherName) {
    const QString editorName =
        currentFileName_.isEmpty()
            ? tr("the configuration in the editor")
            : tr("the configuration in the editor (%1)").arg(currentFileName_);
    auto* window = new CompareWindow(otherName, editorName,
                                     compareConfigurations(other, data_, instrumentNames_),
                                     *dialogs_, lastDirectory_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

PinListSheet MainWindow::pinListSheet() const {
    const QString title = sheetName_.isEmpty() ? tr("VRX configuration") : sheetName_;
    return vrx::pinListSheet(data_, instrumentNames_, allPinsInList_->isChecked(),
                             title.toStdString(),
                             QDate::currentDate().toString(Qt::ISODate).toStdString());
}

void MainWindow::exportPinList() {
    commitPendingEdit();
    const QString proposed =
        sheetName_.isEmpty() ? tr("VRX configuration") : QFileInfo(sheetName_).completeBaseName();
    const auto chosen =
        dialogs_->askSaveTypedFileName(this, kExportTitle, kExportFilter, lastDirectory_, proposed);
    if (chosen.path.isEmpty()) {
        return;
    }
    rememberFolderOf(chosen.path);
    const QString path = withSuffixOfType(chosen.path, chosen.filter);
    const Status written = writePinListFile(path, pinListSheet());
    if (!written) {
        dialogs_->showWarning(this, kSaveErrorTitle,
                              QString::fromStdString(written.error()) + " : " + path);
    }
}

void MainWindow::printPinList() {
    commitPendingEdit();
    QPrinter printer(QPrinter::HighResolution);
    if (dialogs_->askPrinter(this, printer)) {
        vrx::printPinList(printer, pinListSheet());
    }
}

}  // namespace vrx
