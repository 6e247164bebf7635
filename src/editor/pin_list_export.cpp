#include "editor/pin_list_export.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextDocument>

#include <filesystem>

#include "editor/local_path.h"
#include "files/atomic_file.h"

namespace vrx {
namespace {

constexpr int kPdfResolution = 300;

// The same page that the HTML export gives, laid out by Qt for paper. Without
// ligatures, so that a search of the PDF for "Configuration" finds it.
void layOut(QTextDocument& document, const PinListSheet& sheet) {
    QFont font = document.defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    document.setHtml(QString::fromStdString(renderPinListHtml(sheet)));
}

}  // namespace

Status writePinListFile(const QString& path, const PinListSheet& sheet) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "csv") {
        return writeFileAtomically(localPath(path), renderPinListCsv(sheet));
    }
    if (suffix == "html" || suffix == "htm") {
        return writeFileAtomically(localPath(path), renderPinListHtml(sheet));
    }
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(kPdfResolution);
    writer.setTitle(QString::fromStdString(sheet.title));
    QTextDocument document;
    layOut(document, sheet);
    document.print(&writer);
    if (!QFileInfo(path).isFile()) {
        return Status::failure("cannot write the PDF file");
    }
    return success();
}

void printPinList(QPrinter& printer, const PinListSheet& sheet) {
    QTextDocument document;
    layOut(document, sheet);
    document.print(&printer);
}

}  // namespace vrx
