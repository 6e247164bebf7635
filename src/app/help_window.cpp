#include "app/help_window.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vrx::app {
namespace {

// Wide enough for the guide's pictures and about 90 characters of text, as tall as a
// page of it.
constexpr int kWidthChars = 100;
constexpr int kHeightLines = 40;

}  // namespace

const QString HelpWindow::kTitle = QStringLiteral("VRXConfig User Guide");

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(kTitle);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("txtGuide"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    const QFontMetrics metrics(font());
    resize(metrics.averageCharWidth() * kWidthChars, metrics.lineSpacing() * kHeightLines);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    // Esc closes the guide, as it closes a dialog.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool HelpWindow::showGuide(const QString& guideFile) {
    if (!QFileInfo(guideFile).isFile()) {
        browser_->setPlainText(
            tr("The user guide should be at\n%1\nbut it is not there. Reinstalling VRXConfig "
               "puts it back.")
                .arg(guideFile));
        return false;
    }
    // The suffix .md makes the browser read it as Markdown; its pictures are found
    // relative to it.
    browser_->setSource(QUrl::fromLocalFile(guideFile), QTextDocument::MarkdownResource);
    return true;
}

}  // namespace vrx::app
