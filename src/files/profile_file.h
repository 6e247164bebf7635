#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vrx {

// The two profile-file calls the settings class is built on, read and write, working
// on a file by path the way the old platform calls did, so that the settings file
// behaves as it always has. No state is kept between calls.

// A settings file larger than this is not one the program wrote: it reads as empty and
// is never written over, so nothing the user put there is lost.
constexpr std::uintmax_t kLargestProfileFileBytes = 1024 * 1024;

// Reads into a buffer of `bufferChars` characters and returns what the call reports:
// - section and key given: the value, or `fallback` (without trailing blanks) when the
//   key is missing, cut to bufferChars - 1 characters;
// - key missing: the section's key names, each followed by character 0;
// - section missing: every section name, each followed by character 0.
// A name list that does not fit is cut to bufferChars - 2 characters, the last name
// mid-way. A missing, unreadable or oversized file reads as empty.
std::string getProfileString(const std::filesystem::path& file,
                             std::optional<std::string_view> section,
                             std::optional<std::string_view> key, std::string_view fallback,
                             std::size_t bufferChars);

// Writes one value (section, key and value given), deletes a key (no value) or a whole
// section (no key). The file is replaced atomically; a write that changes nothing leaves
// the file untouched. Returns false when the file could not be read or replaced.
bool writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::optional<std::string_view> key, std::optional<std::string_view> value);

}  // namespace vrx
