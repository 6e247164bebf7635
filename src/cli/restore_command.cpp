#include "cli/restore_command.h"

#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/cli_io.h"
#include "cli/device_commands.h"
#include "cli/device_session.h"
#include "cli/interrupt_policy.h"
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

// The programs to write, and a failed result for each chosen file that cannot be used.
struct RestoreSet {
    std::vector<ProgramToWrite> programs;
    std::vector<WriteResult> unusable;
    std::vector<ProgramFile> files;  // the chosen files, usable or not
};

RestoreSet chooseFiles(const std::vector<ProgramFile>& files, const std::set<int>* only) {
    RestoreSet set;
    for (const auto& file : files) {
        if (only != nullptr && !only->contains(file.programNumber)) {
            continue;
        }
        set.files.push_back(file);
        if (file.image.empty()) {
            set.unusable.push_back({file.programNumber,
                                    WriteOutcome::kFileUnusable,
                                    utf8FromPath(file.path.filename()) + ": " + file.error,
                                    {}});
            continue;
        }
        // Sent exactly as kept: the file is a copy of what the unit held.
        set.programs.push_back(
            {file.programNumber, Bytes(file.image.begin(), file.image.begin() + kProgramBytes)});
    }
    return set;
}

// Programs named in --only that have no file: refused before anything is sent.
std::string programsWithoutFile(const std::set<int>& only, const std::vector<ProgramFile>& files) {
    std::string missing;
    for (const int program : only) {
        if (std::ranges::none_of(files,
                                 [&](const auto& f) { return f.programNumber == program; })) {
            missing += (missing.empty() ? "" : ", ") + std::to_string(program);
        }
    }
    return missing;
}

int runRestore(const RestoreOptions& options, SessionHost& host) {
    ProgramSelection selection;
    if (!options.only.empty()) {
        selection = parseProgramSelection(options.only);
        if (!selection.error.empty()) {
            return fail(kExitBadInput, "--only: " + selection.error);
        }
    }
    const auto files = readProgramFolder(pathFromUtf8(options.directory));
    const auto set = chooseFiles(files, options.only.empty() ? nullptr : &selection.programs);
    if (!options.only.empty()) {
        if (const auto missing = programsWithoutFile(selection.programs, files); !missing.empty()) {
            return fail(kExitBadInput, "--only names programs with no file in " +
                                           options.directory + ": " + missing +
                                           "; nothing was written");
        }
    }
    if (set.programs.empty() && set.unusable.empty()) {
        return fail(kExitBadInput, "no program-NNN.vrx files to restore in " + options.directory);
    }
    if (const auto problems = programFolderProblems(set.files, kMaxAddressableProgram);
        !problems.empty()) {
        return fail(kExitBadInput, joinedWith(problems, "; ") + "; nothing was written");
    }
    DeviceSession session(options.device, host, std::cerr);
    if (auto failure = session.configurePorts()) {
        return fail(failure->exitStatus, failure->message);
    }
    auto& link = session.link();
    link.setVerifyAfterWriting(!options.noVerify);
    InterruptPolicy interrupts(host, link, session.view());
    std::optional<SessionFailure> failure;
    std::vector<std::string> beyondTheUnit;
    if (!set.programs.empty()) {
        link.restorePrograms(set.programs);
        failure = session.run([&] {
            // Once the unit has said how many programs it holds, and before any block
            // goes out, a file beyond them refuses the whole restore.
            if (link.programCount() > 0 && beyondTheUnit.empty() &&
                link.unitContents().programsTouched().empty()) {
                beyondTheUnit = programFolderProblems(
                    set.files, std::min(link.programCount(), kMaxAddressableProgram));
                if (!beyondTheUnit.empty()) {
                    return true;
                }
            }
            // A failed send or a unit that stopped answering ends it early.
            const int marker = link.operationMarker();
            return interrupts.stopNow() ||
                   ((marker == kMarkerRestore || marker == kMarkerFailed) &&
                    link.commState() == kStateResultShown && session.queueDrained());
        });
    }
    if (!beyondTheUnit.empty()) {
        return fail(kExitBadInput, joinedWith(beyondTheUnit, "; ") + "; nothing was written");
    }
    std::vector<WriteResult> results = set.unusable;
    results.insert(results.end(), link.restore().results().begin(), link.restore().results().end());
    std::ranges::stable_sort(results, {}, &WriteResult::programNumber);
    std::string failed;
    for (const auto& result : results) {
        const std::string line = summaryLine(result, link.unitContents());
        std::cout << line << "\n";
        if (!succeeded(result.outcome) &&
            link.unitContents().holds(result.programNumber) != UnitHolds::kVerified) {
            failed += (failed.empty() ? "" : ", ") + std::to_string(result.programNumber);
        }
    }
    if (interrupts.stopped()) {
        return fail(kExitFailed,
                    "interrupted" + (failed.empty() ? "" : ": not restored: program " + failed));
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

void addRestoreCommand(CLI::App& app, const DeviceCommandContext& context) {
    auto options = std::make_shared<RestoreOptions>();
    auto* restore = app.add_subcommand(
        "restore",
        "Write DIR/program-NNN.vrx into the unit's programs, each read back (see below)");
    restore->add_option("dir", options->directory, "folder holding the program files")->required();
    restore->add_option("--only", options->only,
                        "programs to restore, like 1,3-5; each must have a file");
    restore->add_flag("--no-verify", options->noVerify,
                      "do not read each program back to check what the unit stored");
    addDeviceOptions(*restore, options->device);
    SessionHost& host = context.host;
    int& exitStatus = context.exitStatus;
    const bool& trace = context.trace;
    restore->callback([options, &exitStatus, &host, &trace] {
        options->device.trace = trace;
        exitStatus = runRestore(*options, host);
    });
}

}  // namespace vrx::cli
