#include "files/program_settings.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "files/number_text.h"

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
    }
    settingsIni_.setSection(std::string(kPreferencesSection));
    write(kLastDirectoryKey, lastDirectory_);
    // A file that never had the switch turned off stays as it was.
    if (!verifyAfterWriting_ || verifyAfterWritingStored_) {
        write(kVerifyAfterWritingKey, verifyAfterWriting_ ? "1" : "0");
    }
    return allWritten;
}

}  // namespace vrx
