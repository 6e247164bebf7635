#include "app/unit_programs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/qt_link_view.h"
#include "editor/editor_dialogs.h"
#include "editor/local_path.h"
#include "editor/main_window.h"
#include "files/program_folder.h"
#include "link/device_link.h"
#include "link/time_left.h"
#include "protocol/messages.h"

namespace vrx::app {
namespace {

const QString kBackupTitle = QStringLiteral("Back Up All Programs");
const QString kRestoreTitle = QStringLiteral("Restore Programs");

QString fileNameOf(const std::filesystem::path& path) {
    return shownPath(path.filename());
}

QString numberList(const QList<int>& numbers) {
    QStringList texts;
    for (const int n : numbers) {
        texts << QString::number(n);
    }
    return texts.join(QStringLiteral(", "));
}

}  // namespace

UnitProgramsCommands::UnitProgramsCommands(Context context, QObject* parent)
    : QObject(parent), context_(std::move(context)) {}

UnitProgramsCommands::~UnitProgramsCommands() = default;

bool UnitProgramsCommands::mayReplaceBackup(const QString& folder) {
    const auto existing = programFileNames(localPath(folder));
    if (existing.empty()) {
        return true;
    }
    QStringList names;
    for (const auto& name : existing) {
        names << QString::fromStdString(name);
    }
    return context_.dialogs.askYesNo(
        &context_.window, kBackupTitle,
        QStringLiteral("%1 already holds a backup:\n%2\n\nReplace it with the programs of "
                       "this VRX? The folder's other files are kept.")
            .arg(folder, names.join(QStringLiteral(", "))));
}

QString UnitProgramsCommands::askFolder(const QString& title) {
    const QString start = context_.window.lastDirectory();
    if (context_.chooseFolder) {
        return context_.chooseFolder(&context_.window, title, start);
    }
    return QFileDialog::getExistingDirectory(&context_.window, title, start);
}

void UnitProgramsCommands::backUpAll() {
    if (running() || context_.link.writeInProgress()) {
        return;
    }
    const QString folder = askFolder(kBackupTitle);
    if (folder.isEmpty()) {
        return;
    }
    if (!mayReplaceBackup(folder)) {
        return;
    }
    folder_ = folder;
    written_.clear();
    writeErrors_.clear();
    // The new set is gathered beside the folder and takes its place only when whole.
    backupFolder_ = std::make_unique<BackupFolder>(localPath(folder));
    if (auto begun = backupFolder_->begin(); !begun) {
        showSummary(kBackupTitle, QString::fromStdString(begun.error()), false);
        backupFolder_.reset();
        return;
    }
    context_.view.setProgramReadHandler([this](int program, ByteView programData) {
        const auto name = fileNameOf(programFileName(localPath(folder_), program));
        if (auto saved = backupFolder_->save(program, programData); saved) {
            written_ << name;
        } else {
            writeErrors_ << name + QStringLiteral(": ") + QString::fromStdString(saved.error());
        }
    });
    running_ = Running::kBackup;
    startedMs_ = context_.clock.nowMs();
    openProgress(kBackupTitle, 0);
    context_.link.backupFromDevice();
    abandonIfNotStarted();
}

void UnitProgramsCommands::restorePrograms() {
    if (running() || context_.link.writeInProgress()) {
        return;
    }
    const QString folder = askFolder(kRestoreTitle);
    if (folder.isEmpty()) {
        return;
    }
    const auto files = readProgramFolder(localPath(folder));
    if (files.empty()) {
        showSummary(kRestoreTitle,
                    QStringLiteral("No program files (program-NNN.vrx) were found in ") + folder +
                        QStringLiteral("."),
                    false);
        return;
    }
    // A folder the unit cannot take whole is refused, naming the files.
    const int unitPrograms = context_.link.programCount();
    const int highest =
        unitPrograms > 0 ? std::min(unitPrograms, kMaxAddressableProgram) : kMaxAddressableProgram;
    if (const auto problems = programFolderProblems(files, highest); !problems.empty()) {
        QStringList lines;
        for (const auto& problem : problems) {
            lines << QString::fromStdString(problem);
        }
        showSummary(kRestoreTitle,
                    QStringLiteral("%1 cannot be restored:\n%2\n\nNothing was written.")
                        .arg(folder, lines.join(QStringLiteral("\n"))),
                    false);
        return;
    }
    QStringList labels;
    QList<bool> usable;
    for (const auto& file : files) {
        QString label =
            QStringLiteral("Program %1 (%2)").arg(file.programNumber).arg(fileNameOf(file.path));
        if (file.image.empty()) {
            label += QStringLiteral(": cannot be used, ") + QString::fromStdString(file.error);
        }
        labels << label;
        usable << !file.image.empty();
    }
    const QList<int> chosen = askWhichPrograms(folder, labels, usable);
    if (chosen.isEmpty()) {
        return;
    }
    // Each ticked file, and only those: unticking a file leaves it out.
    std::vector<ProgramToWrite> programs;
    QList<int> numbers;
    for (const int index : chosen) {
        const auto& file = files[static_cast<std::size_t>(index)];
        programs.push_back(
            {file.programNumber, Bytes(file.image.begin(), file.image.begin() + kProgramBytes)});
        numbers << file.programNumber;
    }
    const QString question =
        QStringLiteral("These programs in the VRX will be overwritten: %1.\n\nContinue?")
            .arg(numberList(numbers));
    if (!context_.dialogs.askYesNo(&context_.window, kRestoreTitle, question)) {
        return;
    }
    folder_ = folder;
    running_ = Running::kRestore;
    startedMs_ = context_.clock.nowMs();
    openProgress(kRestoreTitle, static_cast<int>(programs.size()));
    context_.link.restorePrograms(std::move(programs));
    abandonIfNotStarted();
}

void UnitProgramsCommands::abandonIfNotStarted() {
    // The MIDI I/O Setup that comes first when no devices were chosen was cancelled.
    if (context_.link.commState() == kStateAwaitingIdentity) {
        return;
    }
    running_ = Running::kNone;
    context_.view.setProgramReadHandler(nullptr);
    backupFolder_.reset();
    if (progress_) {
        progress_->close();
    }
}

QList<int> UnitProgramsCommands::askWhichPrograms(const QString& folder, const QStringList& labels,
                                                  const QList<bool>& usable) {
    QDialog dialog(&context_.window);
    dialog.setObjectName(QStringLiteral("frmRestoreSelection"));
    dialog.setWindowTitle(kRestoreTitle);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(
        new QLabel(QStringLiteral("Programs found in %1.\nThe checked ones are written into the "
                                  "VRX, each under its own number.")
                       .arg(folder)));
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("lstPrograms"));
    // The reason a file is greyed is read in full, however long.
    list->setWordWrap(true);
    list->setTextElideMode(Qt::ElideNone);
    for (qsizetype i = 0; i < labels.size(); ++i) {
        auto* item = new QListWidgetItem(labels[i], list);
        item->setData(Qt::UserRole, static_cast<int>(i));
        item->setToolTip(labels[i]);
        if (usable[i]) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        } else {
            item->setFlags(Qt::NoItemFlags);
        }
    }
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Restore"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // Nothing to restore, nothing to confirm.
    connect(list, &QListWidget::itemChanged, &dialog, [list, buttons] {
        bool any = false;
        for (int i = 0; i < list->count(); ++i) {
            any = any || list->item(i)->checkState() == Qt::Checked;
        }
        buttons->button(QDialogButtonBox::Ok)->setEnabled(any);
    });
    layout->addWidget(buttons);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(420, 360)));
    QList<int> chosen;
    if (dialog.exec() != QDialog::Accepted) {
        return chosen;
    }
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked) {
            chosen << list->item(i)->data(Qt::UserRole).toInt();
        }
    }
    return chosen;
}

void UnitProgramsCommands::openProgress(const QString& title, int total) {
    progress_ = new QProgressDialog(&context_.window);
    progress_->setObjectName(QStringLiteral("frmUnitProgress"));
    progress_->setWindowTitle(title);
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    progress_->setRange(0, std::max(total, 1));
    progress_->setValue(0);
    progress_->setLabelText(QStringLiteral("Asking the VRX which programs it holds..."));
    progress_->setMinimumWidth(380);
    // Cancel finishes the program in hand; the window stays until the link has stopped.
    disconnect(progress_, &QProgressDialog::canceled, progress_, &QProgressDialog::cancel);
    connect(progress_, &QProgressDialog::canceled, this, &UnitProgramsCommands::cancelRequested);
    progress_->show();
    cancelAsked_ = false;
    // The status window the link shows is behind it, not over it.
    context_.view.keepInFrontOfStatus(progress_);
}

void UnitProgramsCommands::showProgress(int done, int total, const QString& what) {
    if (!progress_ || total < 1) {
        return;
    }
    progress_->setMaximum(total);
    progress_->setValue(std::min(done, total));
    QString label = what;
    const auto left = timeLeftText(context_.clock.nowMs() - startedMs_, done, total);
    if (!left.empty()) {
        label += QStringLiteral("\n") + QString::fromStdString(left);
    }
    if (progress_->labelText().startsWith(QStringLiteral("Stopping"))) {
        return;
    }
    progress_->setLabelText(label);
}

void UnitProgramsCommands::cancelRequested() {
    if (running_ == Running::kBackup) {
        context_.link.cancelBackup();
    } else if (running_ == Running::kRestore) {
        context_.link.cancelRestore();
    }
    if (progress_) {
        progress_->setLabelText(QStringLiteral("Stopping after the program in hand..."));
    }
}

void UnitProgramsCommands::statusWindowClosed() {
    if (!running() || cancelAsked_) {
        return;
    }
    cancelAsked_ = true;
    const bool backup = running_ == Running::kBackup;
    const QString question =
        backup ? QStringLiteral("Cancel the backup? The programs read so far are not saved.")
               : QStringLiteral("Cancel the restore? The program in hand is finished first.");
    QWidget* owner = progress_ ? static_cast<QWidget*>(progress_) : &context_.window;
    // The run may have ended while the question was open.
    if (context_.dialogs.askYesNo(owner, backup ? kBackupTitle : kRestoreTitle, question) &&
        running()) {
        cancelRequested();
    }
}

void UnitProgramsCommands::timerTick() {
    auto& link = context_.link;
    const bool over = link.commState() == kStateResultShown && !link.writeInProgress();
    if (running_ == Running::kBackup) {
        const int total = link.programCount();
        const int done = static_cast<int>(written_.size() + writeErrors_.size());
        showProgress(done, total,
                     QStringLiteral("Reading program %1 of %2")
                         .arg(std::max(link.backupProgram(), 1))
                         .arg(total));
        if (over) {
            finishBackup();
        }
    } else if (running_ == Running::kRestore) {
        const auto& restore = link.restore();
        const int done = restore.done();
        const int total = restore.total();
        if (done < total) {
            showProgress(done, total,
                         QStringLiteral("Writing program %1 (%2 of %3)")
                             .arg(restore.results()[static_cast<std::size_t>(done)].programNumber)
                             .arg(done + 1)
                             .arg(total));
        }
        if (over && !restore.active()) {
            finishRestore();
        }
    }
}

void UnitProgramsCommands::finishBackup() {
    running_ = Running::kNone;
    context_.view.setProgramReadHandler(nullptr);
    if (progress_) {
        progress_->close();
    }
    const int total = context_.link.programCount();
    // Only a whole backup takes the folder's place; anything less leaves the old one.
    bool whole =
        !context_.link.failure() && writeErrors_.isEmpty() && total > 0 && written_.size() == total;
    if (whole) {
        if (auto committed = backupFolder_->commit(); !committed) {
            writeErrors_ << QString::fromStdString(committed.error());
            whole = false;
        }
    }
    backupFolder_.reset();
    QString text;
    if (whole) {
        text = QStringLiteral("%1 programs saved in %2:\n%3")
                   .arg(total)
                   .arg(folder_, written_.join(QStringLiteral(", ")));
    } else {
        text = QStringLiteral(
                   "The backup stopped after %1 of %2 programs. No program was saved: "
                   "%3 was left as it was.")
                   .arg(written_.size())
                   .arg(total)
                   .arg(folder_);
    }
    if (!writeErrors_.isEmpty()) {
        text += QStringLiteral("\n\nNot saved:\n") + writeErrors_.join(QStringLiteral("\n"));
    }
    if (const auto& failure = context_.link.failure()) {
        text += QStringLiteral("\n\n") + QString::fromStdString(*failure);
    } else if (!whole && writeErrors_.isEmpty()) {
        text += QStringLiteral("\n\nThe backup was cancelled.");
    }
    showSummary(kBackupTitle, text, whole);
}

void UnitProgramsCommands::finishRestore() {
    running_ = Running::kNone;
    if (progress_) {
        progress_->close();
    }
    const auto& restore = context_.link.restore();
    QStringList lines;
    for (const auto& result : restore.results()) {
        lines << QString::fromStdString(summaryLine(result, context_.link.unitContents()));
    }
    showSummary(
        kRestoreTitle,
        QStringLiteral("Restored from %1:\n%2").arg(folder_, lines.join(QStringLiteral("\n"))),
        restore.allSucceeded());
}

void UnitProgramsCommands::showSummary(const QString& title, const QString& text, bool allWell) {
    lastSummary_ = text;
    if (allWell) {
        context_.dialogs.showInformation(&context_.window, title, text);
    } else {
        context_.dialogs.showWarning(&context_.window, title, text);
    }
}

}  // namespace vrx::app
