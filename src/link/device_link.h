#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/link_view.h"
#include "link/output_queue.h"
#include "link/program_prompt.h"
#include "link/program_restore.h"
#include "link/traffic_tap.h"
#include "link/unit_contents.h"
#include "protocol/clock.h"
#include "protocol/messages.h"
#include "protocol/midi_port.h"
#include "protocol/midi_setup.h"
#include "protocol/response_gatherer.h"

namespace vrx {

// Communication states of the link.
enum CommState : int {
    kStateIdle = 0,
    kStateFinished = 11,  // the next tick shows the result
    kStateResultShown = 27,
    kStateWriting = 28,
    kStateRestarting = 29,  // a program's messages are going out; the unit reboots after
    kStateAwaitingIdentity = 40,
    kStateRequestSent = 42,
    kStateReceiving = 43,  // part of the Program Data is there
    kStateIdentityReceived = 44,
    kStatePromptPause = 45,
};

// What the link is doing for the main window.
enum OperationMarker : int {
    kMarkerNone = 0,
    kMarkerLoad = 1,
    kMarkerWrite = 2,
    kMarkerFile = 3,
    kMarkerCancelled = 5,
    kMarkerBackup = 6,   // every program of the unit, back to back
    kMarkerFailed = 7,   // the unit stopped answering or the output failed; see failure()
    kMarkerRestore = 8,  // programs from files written one after the other
};

// The line that ends a write stopped after `progress.sent` of its messages; `what`
// says why ("Sending failed").
std::string incompleteWriteLine(std::string_view what, const WriteProgress& progress);

// Loads a program of a VRX unit into the editor and writes the editor's configuration
// into a program. Everything runs on the user-interface thread, driven by the 100 ms
// timer (mainTimerTick), by the input's Message event and by the menu commands.
//
// Wiring: build the ports once (MidiPortSet, whose notifier posts dispatchMidiEvents
// to the user-interface thread), then one DeviceLink over them, the windows' LinkView
// and a SteadyClock; call mainTimerTick every 100 ms and closePorts when the main
// window goes. The link installs itself as the input's Message handler and as the
// output's Error and QueueEmpty handler.
class DeviceLink {
public:
    static constexpr std::int64_t kTickMs = 100;
    static constexpr int kRetryTicks = 10;  // the identity exchange repeats every second
    static constexpr int kDotsBeforeWarning = 4;
    static constexpr int kPromptPauseTicks = 10;  // after the first Identity Reply of a run
    static constexpr int kResultTicks = 21;       // a load's result stays on screen
    // After VRX_REBOOT the unit restarts and hears nothing for a second.
    static constexpr std::int64_t kUnitRestartMs = 1000;
    static constexpr const char* kDeviceName = "VRX";
    // A request the unit has not answered for 2 s is asked again, three times at most.
    static constexpr int kResponseTimeoutTicks = 20;
    static constexpr int kRequestRetries = 3;

    DeviceLink(MidiInput& input, MidiOutput& output, LinkView& view, const Clock& clock);
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Commands of the main window.
    void loadFromDevice();
    // A load that hands the program to view.programRead instead of the editor, which
    // keeps its configuration and title: the editor compares the two.
    void compareWithDevice();
    void writeToDevice();
    // Reads every program the unit reports into view.programRead, one request after
    // the other, without asking for a number.
    void backupFromDevice();
    // Stops a backup once the program being read has arrived.
    void cancelBackup();
    int backupProgram() const { return backupProgram_; }
    // The user stopped the backup before its last program.
    bool backupCancelled() const {
        return backupCancelRequested_ && backupProgram_ < backupProgramCount();
    }

    // After a write has sent its reboot the program is read back and compared with what
    // was sent. On unless the user turned it off.
    void setVerifyAfterWriting(bool on) { verifyAfterWriting_ = on; }
    bool verifyAfterWriting() const { return verifyAfterWriting_; }
    // The program the editor holds from the unit (the title's "#n"), 0 when it holds
    // none: a write proposes it rather than the program the DIP switches select.
    int programInEditor() const { return programInEditor_; }
    // Writes each program with the unit's pacing and, when verification is on, reads it
    // back before the next one. One identity exchange starts it; after each reboot the
    // next one waits for the unit to answer again.
    void restorePrograms(std::vector<ProgramToWrite> programs);
    // Stops a restore between two programs, never inside one.
    void cancelRestore();
    // The programs of the last restore, or the one program of the last verified write.
    const ProgramRestore& restore() const { return restore_; }
    // What the unit holds after the last write or restore, from what actually went out.
    const UnitContents& unitContents() const { return unitContents_; }
    // The file operations of the main window share the link's marker and its result
    // display: a load ends in state 11 and the next tick shows what it read. A file
    // without a configuration comes with the reason, shown until the user dismisses it.
    void fileOperationStarted();
    void fileLoadFinished(int programBlockCount, std::string loadedFileName,
                          std::string refusalReason = {});
    // The window on whose behalf the MIDI device dialog or a transfer step runs
    // ("frmSplash" or "frmMain"); the main window sets it before opening the dialog.
    void setCallerForm(std::string callerForm) { callerForm_ = std::move(callerForm); }
    // The status window's close button.
    void statusWindowClosed();
    // The main window unloads.
    void closePorts() { queue_.closePorts(); }

    // Timer and MIDI events.
    void mainTimerTick();
    void midiIn_Message();
    void handleSysexMessage(ByteView message);
    // Lets the ports take in what their drivers delivered and raise their events.
    void dispatchMidiEvents();
    // Shows every message sent and taken from the input to `tap` (the MIDI monitor,
    // a trace, the log).
    void setTrafficTap(TrafficTap tap);

    // State, as the windows and the tests read it.
    int commState() const { return commState_; }
    int operationMarker() const { return operationMarker_; }
    int deviceIndex() const { return deviceIndex_; }
    int activeProgram() const { return activeProgram_; }
    int programBlockCount() const { return programBlockCount_; }
    const std::string& callerForm() const { return callerForm_; }
    int lastHandledState() const { return lastHandledState_; }
    int retryTicks() const { return retryTicks_; }
    int dotCount() const { return dotCount_; }
    int timeoutCount() const { return timeoutCount_; }
    int dipSwitchProgram() const { return dipSwitchProgram_; }
    int programCount() const { return programCount_; }
    std::uint8_t firmwareVersionByte() const { return firmwareVersionByte_; }
    const std::string& firmwareVersionText() const { return firmwareVersionText_; }
    const ResponseGatherer& receivedProgramData() const { return receivedProgramData_; }
    // The line the status window ended with when the last operation failed.
    const std::optional<std::string>& failure() const { return failure_; }
    bool busy() const { return busyDepth_ > 0; }
    // A write is still sending its paced messages. The unit must get all of them in
    // order, so nothing else may start before the last has gone out. Reading a written
    // program back belongs to its write, as does every program of a restore.
    bool writeInProgress() const {
        return (operationMarker_ == kMarkerWrite && !queue_.midiOutQueue().empty()) ||
               restore_.active();
    }

    MidiSetup& midiSetup() { return setup_; }
    OutputQueue& outputQueue() { return queue_; }
    ProgramPrompt& programPrompt() { return prompt_; }

    // The user confirmed the exit while a write is sending: the write must reach the unit
    // whole, so the program closes only after its last message (the status window says
    // so). The main window polls readyToExit on every tick.
    void requestExitAfterWrite();
    bool exitRequested() const { return exitAfterWrite_; }
    bool readyToExit() const { return exitAfterWrite_ && !writeInProgress(); }
    // A write that did not reach the unit whole keeps the program open instead: closing
    // would hide the failure, and the user should write the program again.
    void withdrawExitAfterFailedWrite();
    // A load, a backup or a write is talking to the unit: from the identity exchange over
    // the prompt's pause to the last message received or sent. Changing the MIDI devices
    // now would cut it off.
    bool unitOperationInProgress() const;

private:
    void beginReading(int marker);
    // What one operation learnt about the unit's answers does not carry into the next.
    void startOperation();
    void startIdentityExchange();
    void identityStep();
    void transferProgram();
    void transferStep();
    void sendProgramRequest(int device, int programIndex);
    void requestProgramData(int device, int programIndex);
    void startBackup();
    // A request cannot address programs above kMaxAddressableProgram, whatever the
    // unit reports.
    int backupProgramCount() const { return addressableProgramCount(); }
    void requestBackupProgram();
    void writeProgramToMemory(int device, int page);
    void setActiveProgram(int n);
    int askProgramNumber(const std::string& title);
    void tickSteps();
    void completionDisplay();
    void receiveProgramResponse(ByteView message);
    void programComplete();
    void queueMessage(ByteView message) { queue_.queueMessage(message); }
    void watchForSilence();
    void askAgainOrGiveUp();
    // A sequence waiting for the unit after a reboot asks a few times, then gives up.
    void identityUnansweredInSequence();
    // Whether a complete answer may be one owed to an earlier request; it is then dropped.
    bool answerForAnEarlierRequest(ByteView programData);
    // Whether a part of an answer names another address than the one it should carry.
    bool partOfAnotherAnswer(ByteView message);
    void moveToNextRequest(ByteView accepted);
    // The highest program any operation may address.
    int addressableProgramCount() const { return std::min(programCount_, kMaxAddressableProgram); }
    void reportWriteFailure(const WriteProgress& failure);
    void endWithFailure(const std::string& line, bool onNewLine);

    // Writing programs one after the other, each read back when verification is on.
    enum class SequenceStep { kNone, kBeforeWriting, kRestarting, kBeforeReadBack, kReadingBack };
    void startSequence(ProgramRestore restore, SequenceStep first);
    void sequenceIdentityStep();
    void writeCurrentProgram();
    void stepSequence();  // from the timer, once the program's messages are out
    void readBackComplete(ByteView programData);
    void endSequence();
    // The unit stopped answering or the output failed: the program in hand failed.
    void failSequence(const std::string& line);
    void completeProgram(WriteOutcome outcome, std::string detail = {});
    // A send of the read-back failed; true when this reported it.
    bool readBackSendFailed();
    void abandonSequence();  // a new operation replaces one still running
    bool sequenceRunning() const { return sequenceStep_ != SequenceStep::kNone; }

    // Modal dialogs run a nested event loop: a tick or a message arriving meanwhile must
    // not step the state machine again. Ticks are dropped, messages wait in the input
    // and are handled when the step that opened the dialog has finished.
    void runGuarded(const std::function<void()>& step);
    void drainInput();

    MidiInput& input_;
    MidiOutput& output_;
    LinkView& view_;
    const Clock& clock_;
    MidiSetup setup_;
    OutputQueue queue_;
    ProgramPrompt prompt_;
    ResponseGatherer receivedProgramData_;

    int commState_ = kStateIdle;
    int operationMarker_ = kMarkerNone;
    int deviceIndex_ = 0;
    int activeProgram_ = 0;
    int programBlockCount_ = 0;
    std::string callerForm_;
    std::string loadedFileName_;
    std::string refusalReason_;
    std::size_t expectedLength_ = kProgramBytes;

    int lastHandledState_ = kStateIdle;
    int retryTicks_ = 0;
    int dotCount_ = 0;
    int timeoutCount_ = 0;

    int dipSwitchProgram_ = 0;
    int programCount_ = 0;
    std::uint8_t firmwareVersionByte_ = 0;
    std::string firmwareVersionText_;

    int backupProgram_ = 0;
    bool handToEditor_ = true;  // false while a load is read for comparison
    int requestedProgramIndex_ = 0;
    int silentTicks_ = 0;
    int requestRetries_ = 0;
    int identityRetries_ = 0;  // in a sequence, since the unit last answered
    // Requests the unit may still answer for programs the link has moved past, and what
    // those programs held: an answer equal to one of them is taken for a late copy.
    int lateAnswersOwed_ = 0;
    std::vector<Bytes> answeredPrograms_;
    // The three bytes after the command carry the address of the data on the units we
    // know, but nothing promises it: a part with another program's address there is
    // another unit's or late, and only once the unit has put the address it was asked
    // for there is every other part refused. Bytes that name no place in the unit, or
    // zeros answering a request asked again, show a unit that uses them its own way:
    // they are ignored from then on.
    bool unitFillsInAddress_ = false;
    bool unitLeavesAddressOut_ = false;
    int unaddressedParts_ = 0;
    int programInEditor_ = 0;
    bool discardingAnswer_ = false;  // a damaged part spoilt it: wait for silence
    std::optional<std::string> failure_;
    bool backupCancelRequested_ = false;
    bool verifyAfterWriting_ = true;
    ProgramRestore restore_;
    UnitContents unitContents_;
    SequenceStep sequenceStep_ = SequenceStep::kNone;
    bool rebootAfterReadBack_ = false;
    bool keepWriteResult_ = false;  // a program failed: its result waits to be read
    int busyDepth_ = 0;
    bool inputDeferred_ = false;
    bool exitAfterWrite_ = false;
    TrafficTap trafficTap_;
};

}  // namespace vrx
