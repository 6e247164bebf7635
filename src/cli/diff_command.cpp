#include "cli/diff_command.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

#include "cli/cli_io.h"
#include "model/differences.h"
#include "model/program_image.h"

namespace vrx::cli {
namespace {

constexpr int kExitSame = 0;
constexpr int kExitDiffer = 1;

struct DiffOptions {
    std::string before;
    std::string after;
    bool json = false;
};

Result<ProgramData> decodeFile(const std::string& path) {
    const auto image = readImageFile(path);
    if (!image) {
        return Result<ProgramData>::failure(image.error());
    }
    auto data = decodeProgramData(*image);
    if (!data) {
        return Result<ProgramData>::failure(path + ": " + data.error());
    }
    return data;
}

std::string jsonText(const std::vector<Difference>& differences) {
    auto list = nlohmann::json::array();
    for (const auto& difference : differences) {
        list.push_back({{"what", difference.what},
                        {"before", difference.before},
                        {"after", difference.after}});
    }
    return list.dump(2) + "\n";
}

int runDiff(const DiffOptions& options) {
    const auto before = decodeFile(options.before);
    if (!before) {
        return fail(kExitBadInput, before.error());
    }
    const auto after = decodeFile(options.after);
    if (!after) {
        return fail(kExitBadInput, after.error());
    }
    const auto differences = compareConfigurations(*before, *after, instrumentNamesBesideProgram());
    std::string out;
    if (options.json) {
        out = jsonText(differences);
    } else if (!differences.empty()) {
        out = differencesText(differences);
    }
    // A failed print cannot say "same" or "differ": it is trouble, as diff(1) reports it.
    if (printOutput(out) != kExitSuccess) {
        return kExitBadInput;
    }
    return differences.empty() ? kExitSame : kExitDiffer;
}

}  // namespace

void addDiffCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<DiffOptions>();
    auto* command = app.add_subcommand("diff", "Show what differs between two configuration files");
    command->add_option("before", options->before, "Configuration file (*.vrx)")->required();
    command->add_option("after", options->after, "Configuration file (*.vrx)")->required();
    command->add_flag("--json", options->json, "Print the differences as JSON");
    command->callback([&exitStatus, options] { exitStatus = runDiff(*options); });
}

}  // namespace vrx::cli
