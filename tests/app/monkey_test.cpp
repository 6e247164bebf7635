// The program used the way people use it: long seeded runs of random commands, edits,
// answers, files handed over and a misbehaving unit, with what must always hold checked
// after every step.
#include <QCheckBox>
#include <QClipboard>
#include <QLocalSocket>
#include <QMenu>
#include <QMessageBox>
#include <QTableWidget>
#include <QToolBar>
#include <QUndoStack>

#include <optional>
#include <random>

#include "app/single_instance.h"
#include "app_harness.h"
#include "editor/channel_panel.h"
#include "editor/general_settings_panel.h"
#include "editor/pin_grid.h"
#include "files/config_file.h"
#include "model/differences.h"
#include "model/program_image.h"
#include "model/row_clipboard.h"
#include "ports/simulated_fault_names.h"
#include "protocol/messages.h"

namespace vrx::app::testing {

namespace {

const char* const kFaults[] = {"",
                               "line-noise",
                               "ignore-requests=2",
                               "lose-answer=3",
                               "echo",
                               "damage-answer=2",
                               "drop-update=2",
                               "silent",
                               "lose-answer=7"};

// Two configurations are the same for the user when they make the same file: an
// unassigned pin's channel and setting, or the Program Number box, are not part of it.
bool sameConfiguration(const ProgramData& a, const ProgramData& b) {
    return encodeProgramData(a) == encodeProgramData(b);
}

// For a failure's message: what differs from `a` to `b`, in the editor's words.
QString fieldsThatDiffer(const ProgramData& a, const ProgramData& b) {
    return u":\n"_s + QString::fromStdString(differencesText(compareConfigurations(a, b)));
}

std::optional<ProgramData> fileContents(const QString& path) {
    const ConfigFileContents contents = readConfigFile(path.toStdString());
    if (const auto* image = std::get_if<Bytes>(&contents)) {
        if (auto data = decodeProgramData(*image)) {
            return *data;
        }
    }
    return std::nullopt;
}

}  // namespace

// One seeded run: the random choices, the program and what the checks remember.
class Monkey {
public:
    Monkey(unsigned seed, const QString& folder)
        : random_(seed),
          folder_(folder),
          key_(u"vrxconfig-monkey-%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(seed)) {
        vrx::testing::writeAll(folder_ + u"/broken.vrx"_s, "ff 00 zz\r\n");
        QFile::copy(QStringLiteral(VRX_FIXTURES_DIR "/church_console.vrx"),
                    folder_ + u"/church.vrx"_s);
        QFile::copy(QStringLiteral(VRX_FIXTURES_DIR "/theatre_console.vrx"),
                    folder_ + u"/theatre.vrx"_s);
    }

    // Runs `steps` steps; false (with the reason in `failure`) when a check fails.
    bool run(int steps) {
        startProgram();
        for (step_ = 0; step_ < steps && failure.isEmpty(); ++step_) {
            act();
            check();
        }
        return failure.isEmpty();
    }

    QString failure;
    QStringList log;
    // What the run went through, for its report.
    struct Counts {
        int edits = 0, starsShown = 0, configurationsShown = 0, filesUsed = 0, writesVerified = 0,
            handOvers = 0, restarts = 0;
    } counts;

private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool chance(int percent) { return pick(100) < percent; }

    void startProgram() {
        instance_.reset();
        run_.reset();
        run_ = std::make_unique<ProgramRun>(1 + pick(16), QString(), folder_);
        const char* fault = kFaults[pick(std::size(kFaults))];
        if (*fault) {
            applySimulatorFault(run_->unit(), fault);
        }
        log << u"start, unit fault \"%1\""_s.arg(QString::fromLatin1(fault));
        instance_ = std::make_unique<SingleInstance>(key_);
        instance_->anotherInstance();
        QObject::connect(instance_.get(), &SingleInstance::fileOpenRequested, run_->program.get(),
                         &VrxApplication::openFile);
        answerer_.setInterval(1);
        QObject::disconnect(&answerer_, nullptr, nullptr, nullptr);
        QObject::connect(&answerer_, &QTimer::timeout, [this] { answerModalDialog(); });
        answerer_.start();
        window_ = run_->start(chance(50) ? "lblLoad" : "lblWizard");
        // What was last loaded or saved: a configuration shown afresh, or the file just
        // opened or saved as it decodes (a saved file must give back what the editor shows).
        QObject::connect(window_, &MainWindow::configurationShown, [this] {
            ++counts.configurationsShown;
            baseline_ = window_->programData();
        });
        QObject::connect(window_, &MainWindow::recentFileUsed, [this](const QString& path) {
            if (const auto saved = fileContents(path)) {
                ++counts.filesUsed;
                baseline_ = *saved;
            } else {
                failure = u"%1 was opened or saved but does not decode"_s.arg(path);
            }
        });
        run_->dialogs.whileAsking = [this] {
            if (chance(30)) {
                QCoreApplication::processEvents();
            }
        };
        baseline_ = window_->programData();
        finished_ = false;
        QObject::connect(run_->program.get(), &VrxApplication::finished,
                         [this] { finished_ = true; });
        writtenData_.reset();
        writeQueued_ = false;
    }

    // The user's answer to whatever the program asks in a window of its own.
    void answerModalDialog() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            return;
        }
        const bool ok = chance(85);
        if (auto* setup = qobject_cast<frmMIDISetup*>(modal)) {
            setup->inputList()->setCurrentIndex(setup->inputList()->count() - 1);
            setup->outputList()->setCurrentIndex(setup->outputList()->count() - 1);
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->accept();
            return;
        }
        if (auto* button = modal->findChild<QAbstractButton*>(ok ? u"cmdOK"_s : u"cmdCancel"_s)) {
            button->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            ok ? dialog->accept() : dialog->reject();
        }
    }

    QString someFile() {
        const QString names[] = {u"church.vrx"_s,  u"theatre.vrx"_s, u"broken.vrx"_s,
                                 u"missing.vrx"_s, u"saved.vrx"_s,   {}};
        const QString name = names[pick(std::size(names))];
        return name.isEmpty() ? QString() : folder_ + '/' + name;
    }

    void prepareAnswers() {
        auto& dialogs = run_->dialogs;
        using Answer = EditorDialogs::Answer;
        dialogs.yesNoAnswer = chance(15);
        dialogs.yesNoCancelAnswer = Answer(pick(3));
        dialogs.openAnswers = {someFile()};
        const QString saves[] = {folder_ + u"/saved.vrx"_s,
                                 folder_ + u"/saved"_s,
                                 folder_ + u"/no such folder/x.vrx"_s,
                                 {}};
        dialogs.saveAnswers = {saves[pick(std::size(saves))]};
        run_->folderAnswer = chance(50) ? folder_ : QString();
    }

    void trigger(const char* name) {
        if (auto* action = window_->findChild<QAction*>(QString::fromLatin1(name))) {
            if (action->isEnabled()) {
                action->trigger();
            }
        }
    }

    void clickToolbar(const char* key) {
        auto* action = window_->findChild<QAction*>(u"tbrMain_"_s + QString::fromLatin1(key));
        if (action && action->isEnabled()) {
            window_->findChild<QToolBar*>(u"tbrMain"_s)->widgetForAction(action)->setFocus();
            action->trigger();
        }
    }

    void editSomething() {
        auto* tabs = window_->findChild<QTabWidget*>(u"tabScope"_s);
        if (tabs->currentIndex() == 1) {
            auto* grid = window_->findChild<PinGrid*>();
            if (!grid->isEnabled()) {
                return;
            }
            grid->beginCellEdit(1 + pick(kPinRows), PinGrid::kFunctionColumn + pick(3));
            if (QComboBox* box = grid->activeEditor()) {
                box->hidePopup();
                box->setCurrentIndex(pick(box->count()));
                if (chance(50)) {
                    grid->commitPendingEdit();  // else it floats until a command takes it
                }
            }
            return;
        }
        QList<QWidget*> editable;
        for (auto* box : window_->findChildren<QComboBox*>()) {
            if (box->isEnabled() && !window_->findChild<PinGrid*>()->isAncestorOf(box)) {
                editable << box;
            }
        }
        for (auto* box : window_->findChildren<QCheckBox*>()) {
            if (box->isEnabled()) {
                editable << box;
            }
        }
        if (editable.isEmpty()) {
            return;
        }
        QWidget* chosen = editable[pick(editable.size())];
        if (!chosen->isEnabled()) {
            return;
        }
        if (auto* box = qobject_cast<QComboBox*>(chosen)) {
            box->setCurrentIndex(pick(box->count()));
        } else if (auto* tick = qobject_cast<QCheckBox*>(chosen)) {
            tick->toggle();
        }
    }

    void pasteSomething() {
        auto* tabs = window_->findChild<QTabWidget*>(u"tabScope"_s);
        const std::vector<int> rows = {pick(16), pick(16)};
        std::string text;
        switch (pick(3)) {
            case 0:
                text = copyChannelRows(window_->programData(), {pick(16)});
                break;
            case 1:
                text = copyPinRows(window_->programData(), {1 + pick(kPinRows)}, {});
                break;
            default:
                for (int k = pick(40); k > 0; --k) {
                    text += "\t\n ,;0123456789ABCabc+-#\xc3\xbc"[pick(24)];
                }
        }
        QApplication::clipboard()->setText(QString::fromStdString(text));
        if (tabs->currentIndex() == 0) {
            window_->findChild<ChannelPanel*>()->selectChannels(rows);
        } else if (tabs->currentIndex() == 1) {
            window_->findChild<PinGrid*>()->table()->selectRow(pick(kPinRows));
        }
        trigger("mnuPasteTab");
    }

    // A second start hands a file over and leaves, perhaps before it said all.
    void handOver() {
        const QString file = someFile();
        QByteArray request = "activate\nopen " + file.toUtf8() + "\n";
        request.truncate(pick(request.size() + 1));
        QLocalSocket second;
        second.connectToServer(key_);
        if (!second.waitForConnected(1000)) {
            failure = u"the running program did not take the hand-over"_s;
            return;
        }
        second.write(request);
        second.waitForBytesWritten(1000);
        second.disconnectFromServer();
        ++counts.handOvers;
        log << u"hand over %1 bytes of \"%2\""_s.arg(request.size()).arg(file);
    }

    void act() {
        prepareAnswers();
        const int choice = pick(24);
        log << u"step %1: action %2"_s.arg(step_).arg(choice);
        switch (choice) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4: {
                const Bytes before = encodeProgramData(window_->programData());
                editSomething();
                counts.edits += encodeProgramData(window_->programData()) != before ? 1 : 0;
                break;
            }
            case 5:
                window_->findChild<QTabWidget*>(u"tabScope"_s)->setCurrentIndex(pick(3));
                break;
            case 6:
                trigger("mnuUndo");
                break;
            case 7:
                trigger("mnuRedo");
                break;
            case 8:
                pasteSomething();
                break;
            case 9:
                trigger("mnuCopyTab");
                break;
            case 10:
                chance(50) ? trigger("mnuLoad") : clickToolbar("load");
                break;
            case 11:
                chance(50) ? trigger("mnuSave") : clickToolbar("save");
                break;
            case 12:
                chance(50) ? trigger("mnuLoadOrgan") : clickToolbar("loado");
                break;
            case 13:
                chance(50) ? trigger("mnuWrite") : clickToolbar("write");
                break;
            case 14:
                trigger("mnuBackupAll");
                break;
            case 15:
                trigger("mnuCompareVrx");
                break;
            case 16:
                handOver();
                break;
            case 17:
                trigger("mnuNew");
                break;
            case 18: {
                auto* recent = window_->recentFilesMenu();
                emit recent->aboutToShow();
                if (!recent->actions().isEmpty()) {
                    QAction* entry = recent->actions().at(pick(recent->actions().size()));
                    if (entry->isEnabled()) {
                        entry->trigger();
                    }
                }
                break;
            }
            case 19:
                trigger("mnuVerifyAfterWriting");
                break;
            case 20:
                chance(50) ? trigger("mnuExit") : void(window_->close());
                break;
            default:
                tick(100 * (1 + pick(30)));
                break;
        }
        QCoreApplication::processEvents();
        tick(100);
        if (finished_) {
            log << u"the program ended; starting it again"_s;
            ++counts.restarts;
            startProgram();
        }
    }

    void tick(int ms) {
        for (int t = 0; t < ms && failure.isEmpty(); t += DeviceLink::kTickMs) {
            run_->tickFor(DeviceLink::kTickMs);
            if (finished_) {
                return;
            }
            watchTheWrite();
        }
    }

    // What a write sends is what the window holds as its blocks are queued, within one
    // tick; a write that reported "Verifying... ok" must have left exactly that in the unit.
    void watchTheWrite() {
        auto* link = run_->program->link();
        const bool queued = link->outputQueue().pacedMessagesQueued();
        if (queued && !writeQueued_) {
            writtenData_ = window_->programData();
            writtenProgram_ = link->activeProgram();
        }
        writeQueued_ = queued;
        const QString status = run_->program->statusWindow()->statusText();
        const bool verified = status.contains(u"Verifying... ok"_s);
        if (verified && !verifiedSeen_ && writtenData_) {
            ++counts.writesVerified;
            const auto held = decodeProgramData(run_->unit().program(writtenProgram_));
            if (!held || !sameConfiguration(*held, *writtenData_)) {
                failure =
                    u"\"Verifying... ok\" but program %1 of the unit holds something else"_s.arg(
                        writtenProgram_) +
                    (held ? fieldsThatDiffer(*held, *writtenData_) : QString()) + u"\n"_s +
                    run_->program->statusWindow()->statusText();
            }
        }
        verifiedSeen_ = verified;
    }

    void check() {
        if (!failure.isEmpty() || finished_) {
            return;
        }
        const bool starShown = window_->shownTitle().endsWith('*');
        counts.starsShown += starShown ? 1 : 0;
        const bool differs = !sameConfiguration(window_->programData(), baseline_);
        if (starShown != differs) {
            failure =
                u"the title's \"*\" is %1 while the configuration %2 what was last saved "
                "or loaded"_s.arg(starShown ? "shown" : "missing",
                                  differs ? "differs from" : "equals") +
                fieldsThatDiffer(baseline_, window_->programData());
            return;
        }
        auto* link = run_->program->link();
        const auto idle = [&] {
            return !link->unitOperationInProgress() && !link->writeInProgress();
        };
        // The window learns what the link does on the timer's tick: one tick later at most.
        if (idle()) {
            tick(DeviceLink::kTickMs);
        }
        if (!finished_ && idle()) {
            const bool all = window_->editable();
            const bool expected[] = {true, all, true, all};
            for (int slot = 0; slot < MainWindow::kCommandSlots; ++slot) {
                if (window_->commandEnabled(slot) != expected[slot]) {
                    failure =
                        u"command %1 is not enabled as it should be while nothing runs"_s.arg(slot);
                }
            }
            if (!window_->midiSetupEnabled()) {
                failure = u"MIDI I/O Setup stays greyed while nothing runs (state %1, marker %2)"_s
                              .arg(link->commState())
                              .arg(link->operationMarker());
            }
        }
    }

    std::mt19937 random_;
    QString folder_;
    QString key_;
    std::unique_ptr<ProgramRun> run_;
    std::unique_ptr<SingleInstance> instance_;
    MainWindow* window_ = nullptr;
    QTimer answerer_;
    ProgramData baseline_;
    std::optional<ProgramData> writtenData_;
    int writtenProgram_ = 0;
    bool writeQueued_ = false;
    bool verifiedSeen_ = false;
    bool finished_ = false;
    int step_ = 0;
};

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void randomUseKeepsEveryPromise() {
        const unsigned seeds[] = {1, 2, 3, 4, 5, 6, 7, 8};
        for (const unsigned seed : seeds) {
            QTemporaryDir folder;
            Monkey monkey(seed, folder.path());
            const bool kept = monkey.run(400);
            if (!kept) {
                qWarning().noquote() << monkey.log.mid(monkey.log.size() - 12).join('\n');
            }
            QVERIFY2(kept, qPrintable(u"seed %1: %2"_s.arg(seed).arg(monkey.failure)));
            const auto& c = monkey.counts;
            qInfo(
                "seed %u: %d edits, \"*\" after %d steps, %d configurations shown, %d files "
                "opened or saved, %d writes verified, %d hand-overs, %d restarts",
                seed, c.edits, c.starsShown, c.configurationsShown, c.filesUsed, c.writesVerified,
                c.handOvers, c.restarts);
        }
    }
};

}  // namespace vrx::app::testing

QTEST_MAIN(vrx::app::testing::MonkeyTest)
#include "monkey_test.moc"
