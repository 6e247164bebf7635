#include "cli/device_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/device_session.h"
#include "cli/interrupts.h"
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
};

int fail(const SessionFailure& failure) {
    std::cerr << "vrxtool: " << failure.message << "\n";
    return failure.exitStatus;
}

}  // namespace

void addDeviceOptions(CLI::App& command, DeviceOptions& options, bool withTimeout) {
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
    if (withTimeout) {
        command
            .add_option("--timeout", options.timeoutSeconds,
                        "seconds to wait for the unit before giving up")
            ->check(CLI::PositiveNumber)
            ->capture_default_str();
    }
}

namespace {

int runPorts(const DeviceOptions& options) {
    SteadyClock clock;
    MidiPortOptions portOptions;
    portOptions.withSimulator = options.simulator;
    MidiPortSet ports(clock, portOptions);
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
    return kExitOk;
}

int remainingMessages(DeviceLink& link) {
    const auto& queue = link.outputQueue().midiOutQueue();
    return static_cast<int>(std::ranges::count_if(
        queue, [](const std::string& item) { return item != OutputQueue::kOpenPortsItem; }));
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
int runRead(const DeviceCommandOptions& options) {
    DeviceSession session(options.device, std::cerr, options.program);
    if (auto failure = session.configurePorts()) {
        return fail(*failure);
    }
    auto& link = session.link();
    link.loadFromDevice();
    auto failure = session.run(
        [&] { return finished(link, kMarkerLoad) || link.operationMarker() == kMarkerCancelled; });
    if (!failure) {
        failure = abandoned(link, session.view());
    }
    if (failure) {
        return fail(*failure);
    }
    const auto image = encodeProgramData(session.view().programData(), link.firmwareVersionByte());
    if (auto written = writeConfigFile(options.file, image); !written) {
        return fail({kExitFailed, "cannot write " + options.file + ": " + written.error()});
    }
    std::cerr << "Program " << options.program << " saved to " << options.file << "\n";
    return kExitOk;
}

int runWrite(const DeviceCommandOptions& options) {
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
    DeviceSession session(options.device, std::cerr, options.program);
    if (auto failure = session.configurePorts()) {
        return fail(*failure);
    }
    session.view().setProgramData(*data);
    auto& link = session.link();
    link.setVerifyAfterWriting(!options.noVerify);
    // A write cut short leaves the unit with a half-new program: the first Ctrl+C lets
    // the write finish, the second abandons it.
    const InterruptCounter interrupts;
    int interruptsSeen = 0;
    const auto interrupted = [&] {
        if (interrupts.count() == interruptsSeen) {
            return false;
        }
        interruptsSeen = interrupts.count();
        if (link.commState() == kStateAwaitingIdentity) {
            return true;  // nothing of the program has gone out yet
        }
        if (interruptsSeen == 1) {
            session.view().finish();
            std::cerr << "vrxtool: interrupted: finishing the " << remainingMessages(link)
                      << " messages that remain (interrupt again to abandon them)\n";
            return false;
        }
        return true;
    };
    link.writeToDevice();
    bool stoppedByUser = false;
    // The write is over when its last message and the pause after it are through.
    auto failure = session.run([&] {
        stoppedByUser = stoppedByUser || interrupted();
        return stoppedByUser || link.operationMarker() == kMarkerCancelled ||
               (finished(link, kMarkerWrite) && session.queueDrained());
    });
    if (!failure && stoppedByUser) {
        const auto progress = link.outputQueue().writeProgress();
        failure = SessionFailure{
            kExitFailed, progress.total == 0
                             ? "interrupted before anything was written: the program in the "
                               "VRX is unchanged"
                             : incompleteWriteLine("Abandoned", progress)};
    }
    if (!failure) {
        failure = abandoned(link, session.view());
    }
    if (!failure && !link.restore().allSucceeded()) {
        failure = SessionFailure{kExitFailed, resultLine(link.restore().results().front())};
    }
    if (failure) {
        return fail(*failure);
    }
    std::cerr << options.file << " written to program " << options.program
              << (options.noVerify ? "\n" : " and verified\n");
    return kExitOk;
}

int runBackup(const DeviceCommandOptions& options) {
    const auto directory = pathFromUtf8(options.directory);
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        return fail({kExitFailed, "cannot create " + options.directory + ": " + error.message()});
    }
    DeviceSession session(options.device, std::cerr);
    if (auto failure = session.configurePorts()) {
        return fail(*failure);
    }
    auto& link = session.link();
    std::optional<SessionFailure> writeFailure;
    session.view().setProgramReadHandler([&](int program, ByteView programData) {
        if (auto written =
                saveProgramFile(directory, program, programData, link.firmwareVersionByte());
            !written && !writeFailure) {
            writeFailure = SessionFailure{
                kExitFailed, "cannot write " + utf8FromPath(programFileName(directory, program)) +
                                 ": " + written.error()};
        }
    });
    link.backupFromDevice();
    auto failure =
        session.run([&] { return writeFailure.has_value() || finished(link, kMarkerBackup); });
    if (!failure) {
        failure = writeFailure;
    }
    if (failure) {
        return fail(*failure);
    }
    std::cerr << link.programCount() << " programs saved in " << options.directory << "\n";
    return kExitOk;
}

}  // namespace

void addDeviceCommands(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<DeviceCommandOptions>();
    app.add_flag("--trace", options->device.trace,
                 "device commands: show every MIDI message in and out on stderr, named");

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
    read->callback([options, &exitStatus] { exitStatus = runRead(*options); });

    auto* write = app.add_subcommand("write", "Write a .vrx file into a program of the unit");
    write->add_option("file", options->file, "the .vrx file to send")->required();
    write->add_option("--program", options->program, "program number, from 1")
        ->required()
        ->check(CLI::Range(1, kMaxAddressableProgram));
    write->add_flag("--no-verify", options->noVerify,
                    "do not read the program back to check what the unit stored");
    addDeviceOptions(*write, options->device);
    write->callback([options, &exitStatus] { exitStatus = runWrite(*options); });

    auto* backup =
        app.add_subcommand("backup", "Read every program of the unit into DIR/program-NNN.vrx");
    backup->add_option("dir", options->directory, "folder for the files")->required();
    addDeviceOptions(*backup, options->device);
    backup->callback([options, &exitStatus] { exitStatus = runBackup(*options); });
}

}  // namespace vrx::cli
