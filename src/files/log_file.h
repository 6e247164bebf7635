#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace vrx {

// The lines the program writes to its log.
inline constexpr std::string_view kLogStartPrefix = "VRX Config: start at ";
inline constexpr std::string_view kLogNoMidiCard = "No MIDI Card present.";
inline constexpr std::string_view kLogPatchLoadingError = "Error in patch loading.";
inline constexpr std::string_view kLogMidiTxError = "MIDI error opening MIDI tx stream.";

// The optional log "VrxConfig.log". It is written only when the settings file turns it
// on, one line at a time, and never held open, so a crash loses nothing already logged.
class LogFile {
public:
    LogFile(std::filesystem::path file, bool enabled) : file_(std::move(file)), enabled_(enabled) {}

    bool enabled() const { return enabled_; }
    const std::filesystem::path& file() const { return file_; }

    // Appends the line and CR LF, creating the file if needed. A log that cannot be
    // written is given up on quietly: the program runs on without it.
    void writeLog(std::string_view line) const;

private:
    std::filesystem::path file_;
    bool enabled_;
};

// "VRX Config: start at " followed by the date and the time in the short formats of the
// current C locale (the program sets it from the user's environment), joined by a blank.
std::string logStartLine(const std::tm& localTime);

}  // namespace vrx
