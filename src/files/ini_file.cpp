#include "files/ini_file.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "files/number_text.h"
#include "files/profile_file.h"

namespace vrx {
namespace {

// A restored window stays this many pixels away from every screen edge.
constexpr double kScreenMarginPixels = 4.0;

// Stands in for a missing placement key so that it fails to convert and the window's
// own value is kept.
constexpr std::string_view kMissingPlacement = "FAIL";

constexpr std::string_view kMaximisedKey = "Maximised";
constexpr std::string_view kLeftKey = "Left";
constexpr std::string_view kTopKey = "Top";
constexpr std::string_view kWidthKey = "Width";
constexpr std::string_view kHeightKey = "Height";

std::vector<std::string> splitNames(std::string_view list) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < list.size()) {
        auto end = list.find('\0', pos);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        if (end > pos) {
            names.emplace_back(list.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return names;
}

// Moves a window's start (left or top) and size along one screen direction so that it
// keeps `margin` from both edges, shrinking it only when it cannot fit otherwise.
void fitAlong(std::int64_t& start, std::int64_t& size, std::int64_t areaStart,
              std::int64_t areaSize, std::int64_t margin) {
    const std::int64_t first = areaStart + margin;
    const std::int64_t end = areaStart + areaSize - margin;
    if (start < first) {
        start = first;
    }
    if (start + size > end) {
        start = std::max(end - size, first);
        size = std::min(size, end - start);
    }
}

}  // namespace

std::string IniFile::Value() const {
    return getProfileString(path_, section_, key_, default_, kValueBufferChars);
}

void IniFile::setValue(std::string_view text) {
    std::string cleaned(text);
    std::erase_if(cleaned, [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
    record(writeProfileString(path_, section_, key_, cleaned));
}

void IniFile::DeleteKey() {
    record(writeProfileString(path_, section_, key_, std::nullopt));
}

void IniFile::DeleteSection() {
    record(writeProfileString(path_, section_, std::nullopt, std::nullopt));
}

std::string IniFile::INISection() const {
    return getProfileString(path_, section_, std::nullopt, default_, kNameListBufferChars);
}

void IniFile::setINISection(std::string_view /*text*/) {
    DeleteSection();
}

std::string IniFile::Sections() const {
    return getProfileString(path_, std::nullopt, std::nullopt, default_, kNameListBufferChars);
}

std::vector<std::string> IniFile::EnumerateCurrentSection() const {
    return splitNames(INISection());
}

std::vector<std::string> IniFile::EnumerateAllSections() const {
    return splitNames(Sections());
}

void IniFile::SaveFormPosition(const WindowPlacement& window) {
    const auto savedKey = key_;
    if (window.state != WindowState::kMinimised) {
        const bool maximised = window.state == WindowState::kMaximised;
        key_ = kMaximisedKey;
        setValue(maximised ? "1" : "0");
        // A maximised window keeps the normal placement stored before it.
        if (!maximised) {
            const std::pair<std::string_view, std::int32_t> entries[] = {
                {kLeftKey, window.left},
                {kTopKey, window.top},
                {kWidthKey, window.width},
                {kHeightKey, window.height},
            };
            for (const auto& [key, number] : entries) {
                key_ = key;
                setValue(std::to_string(number));
            }
        }
    }
    key_ = savedKey;
}

WindowPlacement IniFile::LoadFormPosition(const WindowPlacement& window,
                                          const ScreenGeometry& screen, std::int32_t minimumWidth,
                                          std::int32_t minimumHeight) {
    const auto savedKey = key_;
    const auto savedDefault = default_;
    default_ = kMissingPlacement;
    auto stored = [this](std::string_view key, std::int32_t fallback) -> std::int64_t {
        key_ = key;
        return CLngDefault(Value(), fallback);
    };
    std::int64_t left = stored(kLeftKey, window.left);
    std::int64_t top = stored(kTopKey, window.top);
    std::int64_t width = std::max<std::int64_t>(stored(kWidthKey, window.width), minimumWidth);
    std::int64_t height = std::max<std::int64_t>(stored(kHeightKey, window.height), minimumHeight);

    fitAlong(left, width, screen.leftTwips, screen.widthTwips,
             std::lround(kScreenMarginPixels * screen.twipsPerPixelX));
    fitAlong(top, height, screen.topTwips, screen.heightTwips,
             std::lround(kScreenMarginPixels * screen.twipsPerPixelY));

    WindowPlacement placed = window;
    if (width >= minimumWidth && height >= minimumHeight) {
        placed.left = static_cast<std::int32_t>(left);
        placed.top = static_cast<std::int32_t>(top);
        placed.width = static_cast<std::int32_t>(width);
        placed.height = static_cast<std::int32_t>(height);
    }
    key_ = kMaximisedKey;
    if (CLngDefault(Value(), 0) != 0) {
        placed.state = WindowState::kMaximised;
    }
    key_ = savedKey;
    default_ = savedDefault;
    return placed;
}

std::int32_t IniFile::CLngDefault(std::string_view text, std::int32_t fallback) {
    const auto number = parseNumber(text);
    if (!number) {
        return fallback;
    }
    return roundToInt32(*number).value_or(fallback);
}

}  // namespace vrx
