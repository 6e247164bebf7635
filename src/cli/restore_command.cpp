#include "cli/restore_command.h"

#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/device_commands.h"
#include "cli/device_session.h"
#include "cli/program_selection.h"
#include "files/program_folder.h"
#include "protocol/utf8_path.h"

namespace vrx::cli {
namespace {

struct RestoreOptions {
    DeviceOptions device;
    std::string directory;
    std::string only;
    bool noVerify = false;
};

int fail(int status, const std::string& message) {
    std::cerr << "vrxtool: " << message << "\n";
    return status;
}

// The programs to write, and a failed result for each chosen file that cannot be used.
struct RestoreSet {
    std::vector<ProgramToWrite> programs;
    std::vector<WriteResult> unusable;
};

RestoreSet chooseFiles(const std::vector<ProgramFile>& files, const std::set<int>* only) {
    RestoreSet set;
    for (const auto& file : files) {
        if (only != nullptr && !only->contains(file.programNumber)) {
            continue;
        }
        if (file.image.empty()) {
            set.unusable.push_back({file.programNumber, WriteOutcome::kFileUnusable,
                                    utf8FromPath(file.path.filename()) + ": " + file.error});
            continue;
        }
        set.programs.push_back(
            {file.programNumber, Bytes(file.image.begin(), file.image.begin() + kProgramBytes)});
    }
    return set;
}

int runRestore(const RestoreOptions& options) {
    ProgramSelection selection;
    if (!options.only.empty()) {
        selection = parseProgramSelection(options.only);
        if (!selection.error.empty()) {
            return fail(kExitBadInput, "--only: " + selection.error);
        }
    }
    const auto files = readProgramFolder(pathFromUtf8(options.directory));
    const auto set = chooseFiles(files, options.only.empty() ? nullptr : &selection.programs);
    if (set.programs.empty() && set.unusable.empty()) {
        return fail(kExitBadInput, "no program-NNN.vrx files to restore in " + options.directory);
    }
    DeviceSession session(options.device, std::cerr);
    if (auto failure = session.configurePorts()) {
        return fail(failure->exitStatus, failure->message);
    }
    auto& link = session.link();
    link.setVerifyAfterWriting(!options.noVerify);
    std::optional<SessionFailure> failure;
    if (!set.programs.empty()) {
        link.restorePrograms(set.programs);
        failure = session.run([&] {
            // A failed send or a unit that stopped answering ends it early.
            const int marker = link.operationMarker();
            return (marker == kMarkerRestore || marker == kMarkerFailed) &&
                   link.commState() == kStateResultShown && session.queueDrained();
        });
    }
    std::vector<WriteResult> results = set.unusable;
    if (!set.programs.empty()) {
        results.insert(results.end(), link.restore().results().begin(),
                       link.restore().results().end());
    }
    std::ranges::stable_sort(results, {}, &WriteResult::programNumber);
    std::string failed;
    for (const auto& result : results) {
        std::cout << resultLine(result) << "\n";
        if (!succeeded(result.outcome)) {
            failed += (failed.empty() ? "" : ", ") + std::to_string(result.programNumber);
        }
    }
    if (failure) {
        return fail(failure->exitStatus, failure->message);
    }
    if (!failed.empty()) {
        return fail(kExitFailed, "not restored: program " + failed);
    }
    return kExitOk;
}

}  // namespace

void addRestoreCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<RestoreOptions>();
    auto* restore = app.add_subcommand(
        "restore", "Write DIR/program-NNN.vrx into the unit's programs, each read back");
    restore->add_option("dir", options->directory, "folder holding the program files")->required();
    restore->add_option("--only", options->only, "programs to restore, like 1,3-5");
    restore->add_flag("--no-verify", options->noVerify,
                      "do not read each program back to check what the unit stored");
    addDeviceOptions(*restore, options->device);
    restore->callback([options, &exitStatus] { exitStatus = runRestore(*options); });
}

}  // namespace vrx::cli
