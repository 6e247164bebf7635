#include "files/program_folder.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <regex>

#include "files/config_file.h"
#include "model/program_image.h"
#include "protocol/messages.h"
#include "protocol/utf8_path.h"

namespace vrx {
namespace {

const std::regex& programFilePattern() {
    static const std::regex kName(R"(program-(\d{3,5})\.vrx)");
    return kName;
}

// The program number a backup's file stands for; none for any other file.
std::optional<int> programNumberOf(const std::filesystem::directory_entry& entry) {
    const std::string name = utf8FromPath(entry.path().filename());
    std::smatch match;
    if (!entry.is_regular_file() || !std::regex_match(name, match, programFilePattern())) {
        return std::nullopt;
    }
    return std::stoi(match[1].str());
}

std::string joinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const auto& name : names) {
        joined += (joined.empty() ? "" : ", ") + name;
    }
    return joined;
}

}  // namespace

std::filesystem::path programFileName(const std::filesystem::path& folder, int programNumber) {
    char name[32];
    std::snprintf(name, sizeof name, "program-%03d.vrx", programNumber);
    return folder / name;
}

Status saveProgramFile(const std::filesystem::path& folder, int programNumber,
                       ByteView programData) {
    if (programData.size() < kProgramBytes) {
        return Status::failure("the unit sent " + std::to_string(programData.size()) +
                               " bytes, fewer than " + std::to_string(kProgramBytes));
    }
    // The bytes a file keeps beyond those the unit holds are those of a new image.
    Bytes image = newProgramDataImage();
    std::copy_n(programData.begin(), kProgramBytes, image.begin());
    return writeConfigFile(programFileName(folder, programNumber), image);
}

std::vector<ProgramFile> readProgramFolder(const std::filesystem::path& folder) {
    std::vector<ProgramFile> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const auto number = programNumberOf(entry);
        if (!number) {
            continue;
        }
        ProgramFile file{*number, entry.path(), {}, {}};
        const auto contents = readConfigFile(entry.path());
        if (const auto* image = std::get_if<Bytes>(&contents)) {
            file.image = *image;
        } else if (const auto* failure = std::get_if<ConversionFailure>(&contents)) {
            file.error = failure->reason;
        } else {
            file.error = "it holds no Program Data line";
        }
        if (file.programNumber >= 1) {
            found.push_back(std::move(file));
        }
    }
    std::ranges::sort(found, [](const ProgramFile& a, const ProgramFile& b) {
        return std::tie(a.programNumber, a.path) < std::tie(b.programNumber, b.path);
    });
    return found;
}

std::vector<std::string> programFolderProblems(const std::vector<ProgramFile>& files,
                                               int highestProgram) {
    std::vector<std::string> problems;
    std::vector<std::string> beyond;
    std::map<int, std::vector<std::string>> byNumber;
    for (const auto& file : files) {
        const std::string name = utf8FromPath(file.path.filename());
        byNumber[file.programNumber].push_back(name);
        if (file.programNumber > highestProgram) {
            beyond.push_back(name);
        }
    }
    if (!beyond.empty()) {
        problems.push_back(joinNames(beyond) + ": beyond the " + std::to_string(highestProgram) +
                           " programs the VRX holds");
    }
    for (const auto& [number, names] : byNumber) {
        if (names.size() > 1) {
            problems.push_back(joinNames(names) + ": more than one file for program " +
                               std::to_string(number));
        }
    }
    return problems;
}

std::vector<std::string> programFileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (programNumberOf(entry)) {
            names.push_back(utf8FromPath(entry.path().filename()));
        }
    }
    std::ranges::sort(names);
    return names;
}

BackupFolder::BackupFolder(std::filesystem::path target)
    : target_(std::move(target)),
      staging_(target_.parent_path() /
               pathFromUtf8("." + utf8FromPath(target_.filename()) + ".new-backup")) {}

BackupFolder::~BackupFolder() {
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove_all(staging_, ignored);
    }
}

Status BackupFolder::begin() {
    std::error_code error;
    std::filesystem::remove_all(staging_, error);
    if (!error) {
        std::filesystem::create_directories(staging_, error);
    }
    if (error) {
        return Status::failure("cannot create " + utf8FromPath(staging_) + ": " + error.message());
    }
    return success();
}

Status BackupFolder::save(int programNumber, ByteView programData) {
    if (auto saved = saveProgramFile(staging_, programNumber, programData); !saved) {
        return Status::failure("cannot write " +
                               utf8FromPath(programFileName(target_, programNumber)) + ": " +
                               saved.error());
    }
    return success();
}

Status BackupFolder::commit() {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(target_, error)) {
        fs::rename(staging_, target_, error);
        if (error) {
            return Status::failure("cannot create " + utf8FromPath(target_) + ": " +
                                   error.message());
        }
        committed_ = true;
        return success();
    }
    // Two renames swap the folders, so no moment holds old and new programs mixed.
    const fs::path old = target_.parent_path() /
                         pathFromUtf8("." + utf8FromPath(target_.filename()) + ".old-backup");
    fs::remove_all(old, error);
    fs::rename(target_, old, error);
    if (error) {
        return Status::failure("cannot replace " + utf8FromPath(target_) + ": " + error.message());
    }
    fs::rename(staging_, target_, error);
    if (error) {
        const std::string why = error.message();
        fs::rename(old, target_, error);
        return Status::failure("cannot replace " + utf8FromPath(target_) + ": " + why);
    }
    committed_ = true;
    // The target's other files stay in it; only its old program files go.
    std::vector<fs::path> others;
    for (const auto& entry : fs::directory_iterator(old, error)) {
        if (!programNumberOf(entry)) {
            others.push_back(entry.path());
        }
    }
    bool allMoved = true;
    for (const auto& other : others) {
        std::error_code moved;
        fs::rename(other, target_ / other.filename(), moved);
        allMoved = allMoved && !moved;
    }
    if (!allMoved) {
        return Status::failure("some files of the old folder stayed in " + utf8FromPath(old));
    }
    fs::remove_all(old, error);
    return success();
}

}  // namespace vrx
