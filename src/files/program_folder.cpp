#include "files/program_folder.h"

#include <algorithm>
#include <cstdio>
#include <regex>

#include "files/config_file.h"
#include "model/program_image.h"
#include "protocol/utf8_path.h"

namespace vrx {

std::filesystem::path programFileName(const std::filesystem::path& folder, int programNumber) {
    char name[32];
    std::snprintf(name, sizeof name, "program-%03d.vrx", programNumber);
    return folder / name;
}

Status saveProgramFile(const std::filesystem::path& folder, int programNumber, ByteView programData,
                       std::uint8_t firmwareVersionByte) {
    ProgramData data;
    if (auto decoded = decodeProgramData(programData, data); !decoded) {
        return decoded;
    }
    return writeConfigFile(programFileName(folder, programNumber),
                           encodeProgramData(data, firmwareVersionByte));
}

std::vector<ProgramFile> readProgramFolder(const std::filesystem::path& folder) {
    static const std::regex kName(R"(program-(\d{3,5})\.vrx)");
    std::vector<ProgramFile> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::smatch match;
        const std::string name = utf8FromPath(entry.path().filename());
        if (!entry.is_regular_file() || !std::regex_match(name, match, kName)) {
            continue;
        }
        ProgramFile file{std::stoi(match[1].str()), entry.path(), {}, {}};
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
    std::ranges::sort(found, {}, &ProgramFile::programNumber);
    return found;
}

}  // namespace vrx
