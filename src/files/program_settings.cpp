#include "files/program_settings.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "files/number_text.h"
#include "files/recent_files.h"

namespace vrx {
namespace {

constexpr std::string_view kLogOn = "1";

bool contains(const std::vector<std::string>& names, std::string_view name) {
    return std::ranges::find(names, name) != names.end();
}

// A device number is the number the value starts with, rounded; anything else, or a
// number no list position can be, means no device.
std::int16_t deviceNumber(std::string_view text) {
    const auto number = roundToInt32(leadingNumber(text));
    if (!number || *number < std::numeric_limits<std::int16_t>::min() ||
        *number > std::numeric_limits<std::int16_t>::max()) {
        return 0;
    }
    return static_cast<std::int16_t>(*number);
}

}  // namespace

ProgramSettings::ProgramSettings(std::filesystem::path settingsFile)
    : settingsFile_(std::move(settingsFile)) {}

// Enumerated names are compared exactly, while the lookups that follow ignore case; a
// name that repeats in the file is looked up once, as every lookup finds the same entry.
void ProgramSettings::readLogSwitch() {
    settingsIni_.setPath(settingsFile_);
    if (!contains(settingsIni_.EnumerateAllSections(), kLogSection)) {
        return;
    }
    settingsIni_.setSection(std::string(kLogSection));
    if (!contains(settingsIni_.EnumerateCurrentSection(), kLogKey)) {
        return;
    }
    settingsIni_.setKey(std::string(kLogKey));
    if (settingsIni_.Value() == kLogOn) {
        logEnabled_ = true;
    }
}

void ProgramSettings::readSettings(std::string documentsFolder) {
    lastDirectory_ = std::move(documentsFolder);
    settingsIni_.setPath(settingsFile_);
    const auto sections = settingsIni_.EnumerateAllSections();
    if (contains(sections, kMidiSection)) {
        settingsIni_.setSection(std::string(kMidiSection));
        const auto keys = settingsIni_.EnumerateCurrentSection();
        if (contains(keys, kMidiInputKey)) {
            settingsIni_.setKey(std::string(kMidiInputKey));
            midiInDevice_ = deviceNumber(settingsIni_.Value());
        }
        if (contains(keys, kMidiOutputKey)) {
            settingsIni_.setKey(std::string(kMidiOutputKey));
            midiOutDevice_ = deviceNumber(settingsIni_.Value());
        }
        if (contains(keys, kMidiInputNameKey)) {
            settingsIni_.setKey(std::string(kMidiInputNameKey));
            midiInDeviceName_ = settingsIni_.Value();
        }
        if (contains(keys, kMidiOutputNameKey)) {
            settingsIni_.setKey(std::string(kMidiOutputNameKey));
            midiOutDeviceName_ = settingsIni_.Value();
        }
        if (contains(keys, kMidiApiKey)) {
            settingsIni_.setKey(std::string(kMidiApiKey));
            // A service this program does not know leaves the default.
            midiApi_ = midiApiFromName(settingsIni_.Value()).value_or(MidiApi::kAlsa);
            midiApiStored_ = true;
        }
    }
    if (contains(sections, kPreferencesSection)) {
        settingsIni_.setSection(std::string(kPreferencesSection));
        const auto keys = settingsIni_.EnumerateCurrentSection();
        if (contains(keys, kLastDirectoryKey)) {
            settingsIni_.setKey(std::string(kLastDirectoryKey));
            lastDirectory_ = settingsIni_.Value();
        }
        if (contains(keys, kVerifyAfterWritingKey)) {
            settingsIni_.setKey(std::string(kVerifyAfterWritingKey));
            verifyAfterWriting_ = settingsIni_.Value() != "0";
            verifyAfterWritingStored_ = true;
        }
    }
    readDesktopSettings(sections);
}

void ProgramSettings::readDesktopSettings(const std::vector<std::string>& sections) {
    if (contains(sections, kRecentFilesSection)) {
        settingsIni_.setSection(std::string(kRecentFilesSection));
        const auto keys = settingsIni_.EnumerateCurrentSection();
        for (std::size_t i = 1; i <= kRecentFileCount; ++i) {
            const auto key = std::string(kRecentFileKeyStem) + std::to_string(i);
            if (contains(keys, key)) {
                settingsIni_.setKey(key);
                if (auto path = settingsIni_.Value(); !path.empty()) {
                    recentFiles_.push_back(std::move(path));
                }
            }
        }
        recentFilesRead_ = recentFiles_;
    }
    if (contains(sections, kHelpSection)) {
        settingsIni_.setSection(std::string(kHelpSection));
        if (contains(settingsIni_.EnumerateCurrentSection(), kManualAddressKey)) {
            settingsIni_.setKey(std::string(kManualAddressKey));
            manualAddress_ = settingsIni_.Value();
        }
    }
}

void ProgramSettings::addRecentFile(const std::string& path) {
    recentFiles_ = withRecentFile(std::move(recentFiles_), path);
}

// The section is written whole, so a list that got shorter leaves no old entry behind.
bool ProgramSettings::writeRecentFiles() {
    if (recentFiles_ == recentFilesRead_) {
        return true;
    }
    settingsIni_.setSection(std::string(kRecentFilesSection));
    settingsIni_.DeleteSection();
    bool written = settingsIni_.Success();
    for (std::size_t i = 0; i < recentFiles_.size() && written; ++i) {
        settingsIni_.setKey(std::string(kRecentFileKeyStem) + std::to_string(i + 1));
        settingsIni_.setValue(recentFiles_[i]);
        written = settingsIni_.Success();
    }
    if (!written) {
        return false;
    }
    recentFilesRead_ = recentFiles_;
    return true;
}

WindowPlacement ProgramSettings::loadMainWindowPlacement(const WindowPlacement& designed,
                                                         const ScreenGeometry& screen) {
    settingsIni_.setPath(settingsFile_);
    settingsIni_.setSection(std::string(kPlacementSection));
    return settingsIni_.LoadFormPosition(designed, screen, designed.width, designed.height);
}

bool ProgramSettings::hasMainWindowPlacement() {
    settingsIni_.setPath(settingsFile_);
    settingsIni_.setSection(std::string(kPlacementSection));
    return !settingsIni_.EnumerateCurrentSection().empty();
}

bool ProgramSettings::writeSettings(const WindowPlacement& mainWindow) {
    settingsIni_.setPath(settingsFile_);
    settingsIni_.setSection(std::string(kPlacementSection));
    settingsIni_.SaveFormPosition(mainWindow);
    // A minimised window writes nothing, so there is no result to look at.
    bool allWritten = mainWindow.state == WindowState::kMinimised || settingsIni_.Success();
    auto write = [&](std::string_view key, const std::string& value) {
        settingsIni_.setKey(std::string(key));
        settingsIni_.setValue(value);
        allWritten = allWritten && settingsIni_.Success();
    };
    // With only one device chosen the stored pair would not match any setup, so the
    // previous pair stays.
    if (midiInDevice_ != 0 && midiOutDevice_ != 0) {
        settingsIni_.setSection(std::string(kMidiSection));
        write(kMidiInputKey, std::to_string(midiInDevice_));
        write(kMidiOutputKey, std::to_string(midiOutDevice_));
        if (!midiInDeviceName_.empty() && !midiOutDeviceName_.empty()) {
            write(kMidiInputNameKey, midiInDeviceName_);
            write(kMidiOutputNameKey, midiOutDeviceName_);
        }
    }
    // A file that never named a service, used with the default, stays as it was.
    if (midiApi_ != MidiApi::kAlsa || midiApiStored_) {
        settingsIni_.setSection(std::string(kMidiSection));
        write(kMidiApiKey, std::string(midiApiName(midiApi_)));
    }
    settingsIni_.setSection(std::string(kPreferencesSection));
    write(kLastDirectoryKey, lastDirectory_);
    // A file that never had the switch turned off stays as it was.
    if (!verifyAfterWriting_ || verifyAfterWritingStored_) {
        write(kVerifyAfterWritingKey, verifyAfterWriting_ ? "1" : "0");
    }
    return writeRecentFiles() && allWritten;
}

}  // namespace vrx
