#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/ini_file.h"
#include "files/number_text.h"
#include "files/profile_text.h"

namespace {

constexpr std::size_t kNamesChecked = 16;

bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

void check(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto profile = vrx::ProfileText::parse(bytes);

    // What the program writes it reads back the same way.
    const auto written = profile.render();
    check(vrx::ProfileText::parse(written).render() == written);

    // Every name the enumerations give can be looked up, and numbers never upset it.
    std::vector<std::pair<std::string, std::string>> entries;
    const auto sections = profile.sectionNames();
    for (std::size_t s = 0; s < sections.size() && s < kNamesChecked; ++s) {
        const auto keys = profile.keyNames(sections[s]);
        check(keys.has_value());
        for (std::size_t k = 0; k < keys->size() && k < kNamesChecked; ++k) {
            const auto value = profile.value(sections[s], (*keys)[k]);
            check(value.has_value());
            vrx::IniFile::CLngDefault(*value, 0);
            vrx::leadingNumber(*value);
            entries.emplace_back(sections[s], (*keys)[k]);
        }
    }

    // Changing one value changes nothing else.
    const std::string section = sections.empty() ? std::string("MIDI I/O") : sections.back();
    const std::string key = "Output";
    std::vector<std::optional<std::string>> before;
    for (const auto& [s, k] : entries) {
        before.push_back(profile.value(s, k));
    }
    profile.setValue(section, key, "42");
    check(profile.value(section, key) == std::optional<std::string>("42"));
    auto reread = vrx::ProfileText::parse(profile.render());
    check(reread.value(section, key) == std::optional<std::string>("42"));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& [s, k] = entries[i];
        if (!(sameName(s, section) && sameName(k, key))) {
            check(reread.value(s, k) == before[i]);
        }
    }
    return 0;
}
