#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace vrx {
class BackupFolder;
class Clock;
class DeviceLink;
class EditorDialogs;
class MainWindow;
}  // namespace vrx

namespace vrx::app {

class QtLinkView;

// Asks for a folder: the chosen one, or an empty text when the user cancels.
using FolderChooser =
    std::function<QString(QWidget* owner, const QString& title, const QString& folder)>;

// File > Back Up All Programs... and Restore Programs...: the user picks a folder, the
// device link does the work, a progress window follows it with Cancel, and a summary
// says what became of every program. The sequencing is the link's; this is its face.
class UnitProgramsCommands : public QObject {
    Q_OBJECT
public:
    struct Context {
        MainWindow& window;
        DeviceLink& link;
        QtLinkView& view;
        EditorDialogs& dialogs;
        FolderChooser chooseFolder;  // null: the platform's folder dialog
        const Clock& clock;
    };
    explicit UnitProgramsCommands(Context context, QObject* parent = nullptr);
    ~UnitProgramsCommands() override;

    void backUpAll();
    void restorePrograms();
    // Every tick of the main window's timer: follows the operation in hand.
    void timerTick();
    // The user closed the status window while a backup or restore runs: asked once per
    // run, Yes is Cancel.
    void statusWindowClosed();

    bool running() const { return running_ != Running::kNone; }
    QProgressDialog* progressWindow() const { return progress_; }
    // What the last summary said, for the tests.
    const QString& lastSummary() const { return lastSummary_; }

private:
    enum class Running { kNone, kBackup, kRestore };

    QString askFolder(const QString& title);
    // The files the user keeps checked, by their place in `labels`; empty when the list
    // was cancelled.
    QList<int> askWhichPrograms(const QString& folder, const QStringList& labels,
                                const QList<bool>& usable);
    // A folder that already holds program files is replaced only when the user says so.
    bool mayReplaceBackup(const QString& folder);
    void openProgress(const QString& title, int total);
    void showProgress(int done, int total, const QString& what);
    void cancelRequested();
    void abandonIfNotStarted();
    void finishBackup();
    void finishRestore();
    void showSummary(const QString& title, const QString& text, bool allWell);

    Context context_;
    Running running_ = Running::kNone;
    QPointer<QProgressDialog> progress_;
    bool cancelAsked_ = false;
    std::int64_t startedMs_ = 0;
    QString folder_;
    QStringList written_;
    QStringList writeErrors_;
    std::unique_ptr<BackupFolder> backupFolder_;  // the new set, until it takes its place
    QString lastSummary_;
};

}  // namespace vrx::app
