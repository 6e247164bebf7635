#include "ports/simulated_memory.h"

#include <map>
#include <memory>

#include "files/config_file.h"
#include "files/program_folder.h"
#include "model/program_image.h"
#include "protocol/messages.h"
#include "protocol/utf8_path.h"

namespace vrx {
namespace {

// The bytes after the 256 a unit holds: kept as the file had them, else as a new
// image has them.
using FileTails = std::map<int, Bytes>;

Bytes tailOf(ByteView image) {
    if (image.size() > kProgramBytes) {
        return Bytes(image.begin() + kProgramBytes, image.end());
    }
    const auto blank = newProgramDataImage();
    return Bytes(blank.begin() + kProgramBytes, blank.end());
}

}  // namespace

std::string keepSimulatorMemoryIn(SimulatedUnit& unit, const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
        return "the simulator's memory folder " + utf8FromPath(folder) + " cannot be made" +
               (error ? ": " + error.message() : "");
    }
    auto tails = std::make_shared<FileTails>();
    const int programCount = unit.settings().programCount;
    for (const auto& file : readProgramFolder(folder)) {
        if (!file.error.empty()) {
            return utf8FromPath(file.path) + ": " + file.error;
        }
        if (file.programNumber > programCount) {
            return utf8FromPath(file.path) + ": the simulated unit holds programs 1 to " +
                   std::to_string(programCount);
        }
        if (tails->contains(file.programNumber)) {
            return utf8FromPath(file.path) + ": another file of the folder holds program " +
                   std::to_string(file.programNumber) + " too";
        }
        unit.setProgram(file.programNumber, file.image);
        (*tails)[file.programNumber] = tailOf(file.image);
    }
    unit.setProgramStoredHandler([&unit, folder, tails](int programNumber) {
        auto image = unit.program(programNumber);
        const auto tail = tails->contains(programNumber) ? (*tails)[programNumber] : tailOf({});
        image.insert(image.end(), tail.begin(), tail.end());
        // A rehearsal goes on when the folder cannot be written; the unit keeps the bytes.
        (void)writeConfigFile(programFileName(folder, programNumber), image);
    });
    return {};
}

}  // namespace vrx
