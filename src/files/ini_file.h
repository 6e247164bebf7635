#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/window_placement.h"

namespace vrx {

// The settings file as the program uses it: set Path, Section and Key, then read or write
// Value. Every call goes to the file itself (nothing is cached), and every write replaces
// the file atomically. Section and key lookups ignore letter case; the enumerations give
// the names exactly as the file spells them.
class IniFile {
public:
    // Read buffers of the profile calls: values come back with at most 254 characters,
    // name lists with at most 8190 (8192 less the two closing zeros).
    static constexpr std::size_t kValueBufferChars = 255;
    static constexpr std::size_t kNameListBufferChars = 8192;

    // Result of the last write or delete: 0 when it failed.
    std::int32_t LastReturnCode() const { return lastReturnCode_; }
    bool Success() const { return lastReturnCode_ != 0; }

    const std::string& Default() const { return default_; }
    void setDefault(std::string text) { default_ = std::move(text); }
    const std::filesystem::path& Path() const { return path_; }
    void setPath(std::filesystem::path path) { path_ = std::move(path); }
    const std::string& Key() const { return key_; }
    void setKey(std::string key) { key_ = std::move(key); }
    const std::string& Section() const { return section_; }
    void setSection(std::string section) { section_ = std::move(section); }

    // The value of Key in Section, or Default when it is missing.
    std::string Value() const;
    // Character 0 cannot be stored and a line break would start a new entry, so both are
    // taken out first.
    void setValue(std::string_view text);
    void DeleteKey();
    void DeleteSection();

    // Section's key names, each followed by character 0; empty when there is no section.
    std::string INISection() const;
    // Replaces Section as a whole; the profile call this stands on can only delete it.
    void setINISection(std::string_view text);
    // Every section name, each followed by character 0.
    std::string Sections() const;

    // The names of INISection and Sections one by one, in file order (the count is the
    // vector's size); section names that are empty are left out.
    std::vector<std::string> EnumerateCurrentSection() const;
    std::vector<std::string> EnumerateAllSections() const;

    // Stores a window's placement under Section: "Maximised", and unless maximised
    // "Left", "Top", "Width", "Height". A minimised window stores nothing.
    void SaveFormPosition(const WindowPlacement& window);
    // The placement stored under Section, kept inside the screen with a 4-pixel margin
    // and no smaller than the minimum size. A stored value that is missing or not a
    // number keeps the window's own; when the fitted size is below the minimum the
    // window keeps its rectangle. A non-zero "Maximised" returns it maximised.
    WindowPlacement LoadFormPosition(const WindowPlacement& window, const ScreenGeometry& screen,
                                     std::int32_t minimumWidth, std::int32_t minimumHeight);

    // The text as the nearest 32-bit integer (halves to even), or the fallback when it is
    // empty, not a number or out of range.
    static std::int32_t CLngDefault(std::string_view text, std::int32_t fallback);

private:
    void record(bool written) { lastReturnCode_ = written ? 1 : 0; }

    std::filesystem::path path_;
    std::string key_;
    std::string section_;
    std::string default_;
    std::int32_t lastReturnCode_ = 0;
};

// The name the program has always used for it.
using cInifile = IniFile;

}  // namespace vrx
