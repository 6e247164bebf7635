#include "files/profile_file.h"

#include <system_error>
#include <vector>

#include "files/atomic_file.h"
#include "files/profile_text.h"

namespace vrx {
namespace {

// A missing file is an empty profile; a file that exists but cannot be taken in is none.
std::optional<ProfileText> loadProfile(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return ProfileText{};
    }
    // Anything but a plain file (a folder, a pipe that would block the start) is refused.
    if (error || status.type() != std::filesystem::file_type::regular) {
        return std::nullopt;
    }
    const auto size = std::filesystem::file_size(file, error);
    if (error || size > kLargestProfileFileBytes) {
        return std::nullopt;
    }
    auto contents = readWholeFile(file);
    if (!contents || contents->size() > kLargestProfileFileBytes) {
        return std::nullopt;
    }
    return ProfileText::parse(*contents);
}

std::string nameList(const std::vector<std::string>& names, std::size_t bufferChars) {
    std::string list;
    for (const auto& name : names) {
        list += name;
        list += '\0';
    }
    // The buffer also needs the list's closing character 0.
    if (list.size() + 1 > bufferChars) {
        list.resize(bufferChars >= 2 ? bufferChars - 2 : 0);
    }
    return list;
}

}  // namespace

std::string getProfileString(const std::filesystem::path& file,
                             std::optional<std::string_view> section,
                             std::optional<std::string_view> key, std::string_view fallback,
                             std::size_t bufferChars) {
    const auto profile = loadProfile(file).value_or(ProfileText{});
    if (!section) {
        return nameList(profile.sectionNames(), bufferChars);
    }
    if (!key) {
        return nameList(profile.keyNames(*section).value_or(std::vector<std::string>{}),
                        bufferChars);
    }
    auto found = profile.value(*section, *key);
    if (!found) {
        const auto end = fallback.find_last_not_of(' ');
        found = std::string(fallback.substr(0, end == std::string_view::npos ? 0 : end + 1));
    }
    if (bufferChars == 0) {
        return {};
    }
    if (found->size() > bufferChars - 1) {
        found->resize(bufferChars - 1);
    }
    return *found;
}

bool writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::optional<std::string_view> key,
                        std::optional<std::string_view> value) {
    auto profile = loadProfile(file);
    if (!profile) {
        return false;
    }
    bool changed = false;
    if (!key) {
        changed = profile->deleteSection(section);
    } else if (!value) {
        changed = profile->deleteKey(section, *key);
    } else {
        changed = profile->setValue(section, *key, *value);
    }
    if (!changed) {
        return true;
    }
    return writeFileAtomically(file, profile->render()).ok();
}

}  // namespace vrx
