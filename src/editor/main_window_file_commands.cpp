// The editor window's file commands: open, save, the recent files, a dropped file and
// the question before unsaved changes are replaced.
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>

#include <variant>

#include "editor/editor_dialogs.h"
#include "editor/main_window.h"
#include "editor/window_shared.h"
#include "files/config_file.h"

namespace vrx {
namespace {

using window::kSaveErrorTitle;
using window::kTitleStem;

const QString kSaveChangesQuestion =
    QStringLiteral("Save the changes to the current configuration first?");

// The one configuration file among dropped ones: a local *.vrx.
QString droppedConfigurationFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) {
        return {};
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".vrx"), Qt::CaseInsensitive)) {
            return url.toLocalFile();
        }
    }
    return {};
}

}  // namespace

bool MainWindow::maybeSaveChanges() {
    if (!hasUnsavedChanges()) {
        return true;
    }
    switch (dialogs_->askYesNoCancel(this, kTitleStem, kSaveChangesQuestion)) {
        case EditorDialogs::Answer::Yes:
            return saveProgramDataFile();
        case EditorDialogs::Answer::No:
            return true;
        case EditorDialogs::Answer::Cancel:
            break;
    }
    return false;
}

void MainWindow::openFileCommand() {
    if (maybeSaveChanges()) {
        loadProgramDataFile();
    }
}

void MainWindow::loadProgramDataFile() {
    const QString path =
        dialogs_->askOpenFileName(this, kLoadFileTitle, kFileFilter, lastDirectory_);
    if (path.isEmpty()) {
        return;
    }
    openConfigurationFile(path);
}

void MainWindow::openConfigurationFile(const QString& path) {
    rememberFolderOf(path);
    int programBlockCount = 0;
    // A file that cannot be read or converted counts as one without a data line: the
    // user hears that it was no configuration, and the editor keeps what it shows.
    const ConfigFileContents contents = readConfigFile(localPath(path));
    std::string refusal = refusalReason(contents);
    if (const auto* image = std::get_if<Bytes>(&contents)) {
        if (const Status decoded = decodeProgramData(*image); decoded) {
            programBlockCount = 1;
            sheetName_ = currentFileName_ = QFileInfo(path).fileName();
        } else {
            refusal = decoded.error();
        }
    }
    checkMidiStopChannels();
    if (programBlockCount > 0) {
        // The window names what is being edited now, whatever it edited before.
        showEditingFileTitle(QFileInfo(path).fileName());
        emit recentFileUsed(QFileInfo(path).absoluteFilePath());
    }
    emit fileLoadFinished(programBlockCount, QFileInfo(path).fileName(),
                          QString::fromStdString(refusal));
}

bool MainWindow::saveProgramDataFile() {
    // Saving again under the same name is one Enter away.
    const QString chosen = dialogs_
                               ->askSaveTypedFileName(this, kSaveFileTitle, kFileFilter,
                                                      lastDirectory_, currentFileName_)
                               .path;
    if (chosen.isEmpty()) {
        return false;
    }
    rememberFolderOf(chosen);
    const std::filesystem::path path = withVrxExtension(localPath(chosen));
    const QString shown = shownPath(path);
    const Status written = writeConfigFile(path, currentImage(firmwareVersionByte_));
    if (!written) {
        dialogs_->showWarning(this, kSaveErrorTitle,
                              QString::fromStdString(saveFailureText(path, written.error())));
        return false;
    }
    currentFileName_ = QFileInfo(shown).fileName();
    showEditingFileTitle(currentFileName_);
    emit recentFileUsed(QFileInfo(shown).absoluteFilePath());
    rememberAsSaved();
    return true;
}

void MainWindow::rememberFolderOf(const QString& path) {
    lastDirectory_ = QFileInfo(path).absolutePath();
    if (!lastDirectory_.endsWith('/')) {
        lastDirectory_ += '/';
    }
}

void MainWindow::setRecentFiles(const QStringList& files) {
    recentFilesMenu_->clear();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* action = recentFilesMenu_->addAction(
            QStringLiteral("&%1  %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        action->setEnabled(QFileInfo::exists(path));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] {
            commitPendingEdit();
            if (maybeSaveChanges()) {
                openConfigurationFile(path);
            }
        });
    }
    recentFilesMenu_->setEnabled(!files.isEmpty());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedConfigurationFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedConfigurationFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    commitPendingEdit();
    // The drag's source waits for the drop to end; the file opens after it.
    QTimer::singleShot(0, this, [this, path] {
        if (maybeSaveChanges()) {
            openConfigurationFile(path);
        }
    });
}

}  // namespace vrx
