#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "files/ini_file.h"
#include "files/window_placement.h"

namespace vrx {

// Where the settings file keeps each setting.
inline constexpr std::string_view kPlacementSection = "VRXConfig";
inline constexpr std::string_view kMidiSection = "MIDI I/O";
inline constexpr std::string_view kMidiInputKey = "Input";
inline constexpr std::string_view kMidiOutputKey = "Output";
inline constexpr std::string_view kPreferencesSection = "Preferences";
inline constexpr std::string_view kLastDirectoryKey = "Path";
inline constexpr std::string_view kVerifyAfterWritingKey = "VerifyAfterWriting";
inline constexpr std::string_view kLogSection = "Quillmore";
inline constexpr std::string_view kLogKey = "Log";

// What the program keeps between runs. The settings file is read once at start-up and
// written once at exit; nothing is written while the program runs.
class ProgramSettings {
public:
    explicit ProgramSettings(std::filesystem::path settingsFile);

    // Start-up, in this order. The log switch is "Log" = "1" in "Quillmore", exactly so.
    void readLogSwitch();
    // The MIDI devices and the last directory; a missing entry keeps no device and the
    // documents folder.
    void readSettings(std::string documentsFolder);
    // The main window's placement when it loads: the stored one fitted on the screen,
    // never smaller than the designed size; a size the user made larger stays.
    WindowPlacement loadMainWindowPlacement(const WindowPlacement& designed,
                                            const ScreenGeometry& screen);

    // The exit step: the main window's placement, the MIDI devices when both are chosen,
    // the last directory. Returns whether every write reached the file; a failed write
    // leaves the old file whole.
    bool writeSettings(const WindowPlacement& mainWindow);
    // Whether an earlier run left the main window's placement in the settings file.
    bool hasMainWindowPlacement();

    // List positions in the MIDI device dialog, 0 for none chosen.
    std::int16_t midiInDevice() const { return midiInDevice_; }
    std::int16_t midiOutDevice() const { return midiOutDevice_; }
    void setMidiInDevice(std::int16_t device) { midiInDevice_ = device; }
    void setMidiOutDevice(std::int16_t device) { midiOutDevice_ = device; }
    bool logEnabled() const { return logEnabled_; }
    // The folder both file dialogs open in, with its trailing separator once a file has
    // been chosen.
    const std::string& lastDirectory() const { return lastDirectory_; }
    void setLastDirectory(std::string folder) { lastDirectory_ = std::move(folder); }
    // Options > Verify After Writing: on unless the file says "0".
    bool verifyAfterWriting() const { return verifyAfterWriting_; }
    void setVerifyAfterWriting(bool on) { verifyAfterWriting_ = on; }

    const std::filesystem::path& settingsFile() const { return settingsFile_; }

private:
    IniFile settingsIni_;
    std::filesystem::path settingsFile_;
    std::int16_t midiInDevice_ = 0;
    std::int16_t midiOutDevice_ = 0;
    bool logEnabled_ = false;
    std::string lastDirectory_;
    bool verifyAfterWriting_ = true;
    bool verifyAfterWritingStored_ = false;
};

}  // namespace vrx
