#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "files/ini_file.h"
#include "files/window_placement.h"
#include "protocol/midi_api.h"

namespace vrx {

// Where the settings file keeps each setting.
inline constexpr std::string_view kPlacementSection = "VRXConfig";
inline constexpr std::string_view kMidiSection = "MIDI I/O";
inline constexpr std::string_view kMidiInputKey = "Input";
inline constexpr std::string_view kMidiOutputKey = "Output";
// The chosen devices' names, so they are found again when their numbers change.
inline constexpr std::string_view kMidiInputNameKey = "InputName";
inline constexpr std::string_view kMidiOutputNameKey = "OutputName";
// The MIDI service, "alsa" or "jack"; written once it is not the default.
inline constexpr std::string_view kMidiApiKey = "Api";
inline constexpr std::string_view kPreferencesSection = "Preferences";
inline constexpr std::string_view kLastDirectoryKey = "Path";
inline constexpr std::string_view kVerifyAfterWritingKey = "VerifyAfterWriting";
inline constexpr std::string_view kLogSection = "Quillmore";
inline constexpr std::string_view kLogKey = "Log";
// Desktop integration, each in a section of its own so the program's older sections
// keep their exact contents. The recent files are "File1" (newest) to "File6"; the
// manual address is only ever written by the user.
inline constexpr std::string_view kRecentFilesSection = "Recent Files";
inline constexpr std::string_view kRecentFileKeyStem = "File";
inline constexpr std::string_view kHelpSection = "Help";
inline constexpr std::string_view kManualAddressKey = "Manual";

// What the program keeps between runs. The settings file is read once at start-up and
// written once at exit; nothing is written while the program runs.
class ProgramSettings {
public:
    explicit ProgramSettings(std::filesystem::path settingsFile);

    // Start-up, in this order. The log switch is "Log" = "1" in "Quillmore", exactly so.
    void readLogSwitch();
    // The MIDI devices, the last directory, the recent files and the manual address; a
    // missing entry keeps no device, the documents folder, no files and no address.
    void readSettings(std::string documentsFolder);
    // The main window's placement when it loads: the stored one fitted on the screen,
    // never smaller than the designed size; a size the user made larger stays.
    WindowPlacement loadMainWindowPlacement(const WindowPlacement& designed,
                                            const ScreenGeometry& screen);

    // The exit step: the main window's placement, the MIDI devices when both are chosen,
    // the last directory, and the recent files when they changed. Returns whether every write
    // reached the file; a failed write leaves the old file whole.
    bool writeSettings(const WindowPlacement& mainWindow);
    // Whether an earlier run left the main window's placement in the settings file.
    bool hasMainWindowPlacement();

    // List positions in the MIDI device dialog, 0 for none chosen.
    std::int16_t midiInDevice() const { return midiInDevice_; }
    std::int16_t midiOutDevice() const { return midiOutDevice_; }
    void setMidiInDevice(std::int16_t device) { midiInDevice_ = device; }
    void setMidiOutDevice(std::int16_t device) { midiOutDevice_ = device; }
    // The names of the devices at those positions when they were chosen; empty when
    // unknown. Written with the positions.
    const std::string& midiInDeviceName() const { return midiInDeviceName_; }
    const std::string& midiOutDeviceName() const { return midiOutDeviceName_; }
    void setMidiInDeviceName(std::string name) { midiInDeviceName_ = std::move(name); }
    void setMidiOutDeviceName(std::string name) { midiOutDeviceName_ = std::move(name); }
    // The MIDI service the devices are reached through; ALSA unless the file says
    // otherwise.
    MidiApi midiApi() const { return midiApi_; }
    void setMidiApi(MidiApi api) { midiApi_ = api; }
    bool logEnabled() const { return logEnabled_; }
    // The folder both file dialogs open in, with its trailing separator once a file has
    // been chosen.
    const std::string& lastDirectory() const { return lastDirectory_; }
    void setLastDirectory(std::string folder) { lastDirectory_ = std::move(folder); }
    // Options > Verify After Writing: on unless the file says "0".
    bool verifyAfterWriting() const { return verifyAfterWriting_; }
    void setVerifyAfterWriting(bool on) { verifyAfterWriting_ = on; }

    // Newest first, at most kRecentFileCount.
    const std::vector<std::string>& recentFiles() const { return recentFiles_; }
    void addRecentFile(const std::string& path);
    // Where Help › View On-line Docs goes; empty means the user guide that comes with
    // the program.
    const std::string& manualAddress() const { return manualAddress_; }

    const std::filesystem::path& settingsFile() const { return settingsFile_; }

private:
    IniFile settingsIni_;
    std::filesystem::path settingsFile_;
    std::int16_t midiInDevice_ = 0;
    std::int16_t midiOutDevice_ = 0;
    std::string midiInDeviceName_;
    std::string midiOutDeviceName_;
    bool logEnabled_ = false;
    std::string lastDirectory_;
    std::vector<std::string> recentFiles_;
    std::vector<std::string> recentFilesRead_;
    std::string manualAddress_;

    void readDesktopSettings(const std::vector<std::string>& sections);
    bool writeRecentFiles();
    bool verifyAfterWriting_ = true;
    bool verifyAfterWritingStored_ = false;
    MidiApi midiApi_ = MidiApi::kAlsa;
    bool midiApiStored_ = false;
};

}  // namespace vrx
