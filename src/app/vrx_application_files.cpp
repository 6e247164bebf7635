// Configuration files reaching the program: one handed over by a second start, the
// recent files and the report of a file's load to the device link.
#include <QFile>

#include "app/vrx_application.h"
#include "link/device_link.h"

namespace vrx::app {

void VrxApplication::connectFileCommands() {
    connect(main_, &MainWindow::fileLoadFinished, this,
            [this](int programBlockCount, const QString& fileName, const QString& reason) {
                pendingFileLoad_ = PendingFileLoad{programBlockCount, fileName.toStdString(),
                                                   reason.toStdString()};
                reportFileLoad();
            });
    connect(main_, &MainWindow::recentFileUsed, this, [this](const QString& path) {
        settings_.addRecentFile(path.toStdString());
        showRecentFiles();
    });
}

void VrxApplication::reportFileLoad() {
    // A file opened while a write is still sending waits for the write's last message:
    // the write's pacing must not change halfway.
    if (!pendingFileLoad_ || link_->writeInProgress()) {
        return;
    }
    link_->fileLoadFinished(pendingFileLoad_->programBlockCount, pendingFileLoad_->fileName,
                            pendingFileLoad_->refusalReason);
    pendingFileLoad_.reset();
}

void VrxApplication::showRecentFiles() {
    QStringList files;
    for (const auto& path : settings_.recentFiles()) {
        files << QString::fromStdString(path);
    }
    main_->setRecentFiles(files);
}

void VrxApplication::openFile(const QString& path) {
    if (main_ && main_->isVisible()) {
        activate();
        main_->commitPendingEdit();
        if (main_->maybeSaveChanges()) {
            main_->openConfigurationFile(path);
        }
    } else if (choice_) {
        activate();
        showEditor().openConfigurationFile(path);
    } else {
        // The splash is still up: the file waits for it like one from the command line.
        options_.fileToOpen = path;
        activate();
    }
}

}  // namespace vrx::app
