#include "cli/device_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "cli/cli_io.h"
#include "cli/device_session.h"
#include "cli/interrupt_policy.h"
#include "files/config_file.h"
#include "files/program_folder.h"
#include "model/program_image.h"
#include "ports/simulated_fault_names.h"
#include "protocol/messages.h"
#include "protocol/midi_device_list.h"
#include "protocol/utf8_path.h"

namespace vrx::cli {
namespace {

struct DeviceCommandOptions {
    DeviceOptions device;
    int program = 0;
    std::string file;
    std::string directory;
    bool noVerify = false;
    bool replace = false;
};

}  // namespace

int fail(const SessionFailure& failure) {
    std::cerr << "vrxtool: " << failure.message << "\n";
    return failure.exitStatus;
}

std::string stoppedLine(const std::string& why, const DeviceLink& link, int programNumber) {
    return why + ": " + link.unitContents().sentence(programNumber);
}

void addMidiApiOption(CLI::App& command, MidiApi& api) {
    const std::map<std::string, MidiApi> services = {
        {std::string(midiApiName(MidiApi::kAlsa)), MidiApi::kAlsa},
        {std::string(midiApiName(MidiApi::kJack)), MidiApi::kJack}};
    command
        .add_option("--midi-api", api,
                    "MIDI service on Linux: alsa (the ALSA sequencer, default) or jack (a "
                    "running JACK server)")
        ->transform(CLI::CheckedTransformer(services, CLI::ignore_case))
        ->option_text("alsa|jack");
}

void addDeviceOptions(CLI::App& command, DeviceOptions& options, bool withTimeout) {
    addMidiApiOption(command, options.midiApi);
    command
        .add_option("--in", options.inPosition, "MIDI input, numbered as `vrxtool ports` lists it")
        ->check(CLI::PositiveNumber);
    command
        .add_option("--out", options.outPosition,
                    "MIDI output, numbered as `vrxtool ports` lists it")
        ->check(CLI::PositiveNumber);
    command.add_flag(
        "--simulator", options.simulator,
        "also list a simulated VRX unit, last, and use it unless --in/--out say otherwise");
    command
        .add_flag("--simulator-silent", options.simulatorSilent, "the simulated unit never answers")
        ->group("");
    // --trace is given before or after the command's name.
    command.fallthrough();
    command.add_option("--simulator-fault", options.simulatorFaults,
                       "rehearse a failure with the simulated unit; repeatable. NAME[=N] is "
                       "one of:\n" +
                           simulatorFaultHelp());
    command
        .add_option("--simulator-memory", options.simulatorMemory,
                    "the simulated unit keeps its programs in DIR as program-NNN.vrx, as a "
                    "backup writes them: it starts with those found there and writes each "
                    "program it stores back")
        ->type_name("DIR");
    if (withTimeout) {
        command
            .add_option("--timeout", options.timeoutSeconds,
                        "the longest wait, in seconds, for an answer the unit owes; the 600 ms "
                        "between a write's messages and the unit's restart never count")
            ->check(CLI::PositiveNumber)
            ->capture_default_str();
    }
}

namespace {

int runPorts(const DeviceOptions& options) {
    SteadyClock clock;
    MidiPortSet ports(clock, portOptions(options));
    const auto inputs = inputDeviceEntries(ports.input());
    const auto outputs = outputDeviceEntries(ports.output());
    std::cout << "MIDI In:\n";
    for (std::size_t i = 1; i < inputs.entries.size(); ++i) {
        std::cout << "  " << inputs.entries[i] << "\n";
    }
    std::cout << "MIDI Out:\n";
    for (std::size_t i = 1; i < outputs.entries.size(); ++i) {
        std::cout << "  " << outputs.entries[i] << "\n";
    }
    for (const auto* list : {&inputs, &outputs}) {
        if (!list->error.empty()) {
            return fail({kExitFailed, std::string(kNoMidiCardMessage) + " (" + list->error + ")"});
        }
    }
    // The simulated unit is listed without a MIDI service: say once which one is missing.
    if (const auto missing = ports.realDevicesError(); !missing.empty()) {
        std::cerr << "vrxtool: " << missing << "\n";
    }
    return kExitOk;
}

bool finished(DeviceLink& link, int marker) {
    return link.operationMarker() == marker && link.commState() == kStateResultShown;
}

std::optional<SessionFailure> abandoned(DeviceLink& link, ConsoleLinkView& view) {
    if (link.operationMarker() == kMarkerCancelled) {
        return SessionFailure{kExitBadInput, view.refusal().value_or("no program chosen")};
    }
    return std::nullopt;
}

// Loads a program like "Load Current Settings from the VRX" and saves it like
// "Save Program Data To File".
int runRead(const DeviceCommandOptions& options, SessionHost& host) {
    DeviceSession session(options.device, host, std::cerr, options.program);
    if (auto failure = session.configurePorts()) {
        return fail(*failure);
    }
    auto& link = session.link();
    InterruptPolicy interrupts(host, link, session.view());
    link.loadFromDevice();
    auto failure = session.run([&] {
        return interrupts.stopNow() || finished(link, kMarkerLoad) ||
               link.operationMarker() == kMarkerCancelled;
    });
    // All of the program came; only the restart that ends the exchange did not go out.
    const bool restartMissing = failure && session.view().decoded() &&
                                link.unitContents().restartOwed() &&
                                link.operationMarker() == kMarkerLoad;
    if (!failure && interrupts.stopped()) {
        failure = SessionFailure{kExitFailed, "interrupted: " + options.file + " was not written"};
    }
    if (!failure) {
        failure = abandoned(link, session.view());
    }
    if (failure && !restartMissing) {
        return fail(*failure);
    }
    const auto image = encodeProgramData(session.view().programData(), link.firmwareVersionByte());
    if (auto written = writeConfigFile(pathFromUtf8(options.file), image); !written) {
        return fail({kExitFailed, "cannot write " + options.file + ": " + written.error()});
    }
    std::cerr << "Program " << options.program << " saved to " << options.file << "\n";
    if (restartMissing) {
        return fail({kExitRestartMissing,
                     "warning: the VRX did not get its restart message: switch it off and on"});
    }
    return kExitOk;
}

// Why a write ended short of its end, and what the unit holds from what went out.
SessionFailure writeStopped(const std::optional<SessionFailure>& failure, bool interrupted,
                            const DeviceLink& link, int program) {
    if (interrupted) {
        const bool nothingSent = link.unitContents().holds(program) == UnitHolds::kUnchanged;
        return {kExitFailed,
                stoppedLine(nothingSent ? "interrupted before anything was written" : "interrupted",
                            link, program)};
    }
    // The link's own failure lines already say what the unit holds.
    if (link.failure()) {
        const bool doneButRestart = link.unitContents().restartOwed() &&
                                    link.unitContents().holds(program) >= UnitHolds::kWritten &&
                                    link.unitContents().holds(program) != UnitHolds::kDiffers;
        return {doneButRestart ? kExitRestartMissing : kExitFailed, *link.failure()};
    }
    return {failure->exitStatus, stoppedLine(failure->message, link, program)};
}

int runWrite(const DeviceCommandOptions& options, SessionHost& host) {
    const auto contents = readConfigFile(pathFromUtf8(options.file));
    const auto* image = std::get_if<Bytes>(&contents);
    if (image == nullptr) {
        const auto* failure = std::get_if<ConversionFailure>(&contents);
        return fail(
            {kExitBadInput, options.file + (failure != nullptr ? ": " + failure->reason
                                                               : " holds no Program Data line")});
    }
    const auto data = decodeProgramData(*image);
    if (!data) {
        return fail({kExitBadInput, options.file + ": " + data.error()});
    }
    DeviceSession session(options.device, host, std::cerr, options.program);
    if (auto failure = session.configurePorts()) {
        return fail(*failure);
    }
    session.view().setProgramData(*data);
    auto& link = session.link();
    link.setVerifyAfterWriting(!options.noVerify);
    InterruptPolicy interrupts(host, link, session.view());
    link.writeToDevice();
    // The write is over when its last message and the pause after it are through.
    auto failure = session.run([&] {
        return interrupts.stopNow() || link.operationMarker() == kMarkerCancelled ||
               (finished(link, kMarkerWrite) && session.queueDrained());
    });
    if (failure || interrupts.stopped()) {
        return fail(writeStopped(failure, interrupts.stopped(), link, options.program));
    }
    if (auto refused = abandoned(link, session.view())) {
        return fail(*refused);
    }
    if (!link.restore().allSucceeded()) {
        return fail({kExitFailed, resultLine(link.restore().results().front())});
    }
    std::cerr << options.file << " written to program " << options.program
              << (options.noVerify ? "\n" : " and verified\n");
    return kExitOk;
}

int runBackup(const DeviceCommandOptions& options, SessionHost& host) {
    // A folder that holds a backup already is replaced only when the user says so.
    if (const auto existing = programFileNames(pathFromUtf8(options.directory));
        !existing.empty() && !options.replace) {
        return fail({kExitBadInput, options.directory + " already holds " + joinedWith(existing) +
                                        ": give --replace to replace that backup"});
    }
    BackupFolder folder(pathFromUtf8(options.directory));
    if (auto begun = folder.begin(); !begun) {
        return fail({kExitFailed, begun.error()});
    }
    DeviceSession session(options.device, host, std::cerr);
    if (auto failure = session.configurePorts()) {
        return fail(*failure);
    }
    auto& link = session.link();
    std::optional<SessionFailure> writeFailure;
    session.view().setProgramReadHandler([&](int program, ByteView programData) {
        if (auto saved = folder.save(program, programData); !saved && !writeFailure) {
            writeFailure = SessionFailure{kExitFailed, saved.error()};
        }
    });
    InterruptPolicy interrupts(host, link, session.view());
    link.backupFromDevice();
    auto failure = session.run([&] {
        return interrupts.stopNow() || writeFailure.has_value() || finished(link, kMarkerBackup);
    });
    if (!failure && interrupts.stopped()) {
        failure = SessionFailure{kExitFailed, "interrupted"};
    }
    if (!failure) {
        failure = writeFailure;
    }
    if (!failure) {
        if (auto committed = folder.commit(); !committed) {
            failure = SessionFailure{kExitFailed, committed.error()};
        }
    }
    if (failure) {
        auto& message = failure->message;
        message += (message.ends_with('.') ? " " : ". ") + options.directory + " is as it was.";
        return fail(*failure);
    }
    std::cerr << session.view().programsRead() << " programs saved in " << options.directory
              << "\n";
    return kExitOk;
}

}  // namespace

void addDeviceCommands(CLI::App& app, const DeviceCommandContext& context) {
    auto options = std::make_shared<DeviceCommandOptions>();
    SessionHost& host = context.host;
    int& exitStatus = context.exitStatus;
    const bool& trace = context.trace;

    auto* ports = app.add_subcommand(
        "ports", "List the MIDI devices, numbered as the MIDI I/O Setup dialog numbers them");
    addDeviceOptions(*ports, options->device, false);
    ports->callback([options, &exitStatus] { exitStatus = runPorts(options->device); });

    auto* read = app.add_subcommand("read", "Load a program from the unit into a .vrx file");
    read->add_option("--program", options->program, "program number, from 1")
        ->required()
        ->check(CLI::Range(1, kMaxAddressableProgram));
    read->add_option("-o,--output", options->file, "the .vrx file to write")->required();
    addDeviceOptions(*read, options->device);
    read->callback([options, &exitStatus, &host, &trace] {
        options->device.trace = trace;
        exitStatus = runRead(*options, host);
    });

    auto* write = app.add_subcommand("write", "Write a .vrx file into a program of the unit");
    write->add_option("file", options->file, "the .vrx file to send")->required();
    write->add_option("--program", options->program, "program number, from 1")
        ->required()
        ->check(CLI::Range(1, kMaxAddressableProgram));
    write->add_flag("--no-verify", options->noVerify,
                    "do not read the program back to check what the unit stored");
    addDeviceOptions(*write, options->device);
    write->callback([options, &exitStatus, &host, &trace] {
        options->device.trace = trace;
        exitStatus = runWrite(*options, host);
    });

    auto* backup = app.add_subcommand(
        "backup", "Read every program of the unit into DIR/program-NNN.vrx, as a set (see below)");
    backup->add_option("dir", options->directory, "folder for the files")->required();
    backup->add_flag("--replace", options->replace,
                     "replace the program files DIR already holds with the new backup");
    addDeviceOptions(*backup, options->device);
    backup->callback([options, &exitStatus, &host, &trace] {
        options->device.trace = trace;
        exitStatus = runBackup(*options, host);
    });
}

}  // namespace vrx::cli
