#include "files/profile_text.h"

#include <algorithm>

#include "protocol/text_lines.h"

namespace vrx {
namespace {

constexpr char kCommentStart = ';';

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

// Only meaningful for lines classified as sections or entries.
std::string_view sectionName(std::string_view line) {
    const auto text = trimmed(line);
    return trimmed(text.substr(1, text.find(']') - 1));
}

std::string_view keyName(std::string_view line) {
    return trimmed(line.substr(0, line.find('=')));
}

std::string_view rawValue(std::string_view line) {
    return trimmed(line.substr(line.find('=') + 1));
}

}  // namespace

ProfileText::Line ProfileText::classify(std::string text) {
    const auto content = trimmed(text);
    LineKind kind = LineKind::kOther;
    if (content.empty() || content.front() == kCommentStart) {
        kind = LineKind::kOther;
    } else if (content.front() == '[') {
        kind = content.find(']') != std::string_view::npos ? LineKind::kSection : LineKind::kOther;
    } else if (content.find('=') != std::string_view::npos && !keyName(content).empty()) {
        kind = LineKind::kEntry;
    }
    return Line{std::move(text), kind};
}

ProfileText ProfileText::parse(std::string_view fileBytes) {
    ProfileText profile;
    const auto firstBreak = fileBytes.find('\n');
    if (firstBreak != std::string_view::npos &&
        (firstBreak == 0 || fileBytes[firstBreak - 1] != '\r')) {
        profile.lineEnd_ = "\n";
    }
    for (const auto line : textLines(fileBytes)) {
        profile.lines_.push_back(classify(std::string(line)));
    }
    return profile;
}

std::string ProfileText::render() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line.text;
        out += lineEnd_;
    }
    return out;
}

std::vector<std::string> ProfileText::sectionNames() const {
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        if (line.kind == LineKind::kSection) {
            names.emplace_back(sectionName(line.text));
        }
    }
    return names;
}

std::optional<std::vector<std::string>> ProfileText::keyNames(std::string_view section) const {
    const auto header = findSection(section);
    if (!header) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    const auto end = sectionEnd(*header);
    for (auto i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::kEntry) {
            names.emplace_back(keyName(lines_[i].text));
        }
    }
    return names;
}

std::optional<std::string> ProfileText::value(std::string_view section,
                                              std::string_view key) const {
    const auto header = findSection(section);
    if (!header) {
        return std::nullopt;
    }
    const auto line = findKey(*header, key);
    if (!line) {
        return std::nullopt;
    }
    auto text = rawValue(lines_[*line].text);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        text = text.substr(1, text.size() - 2);
    }
    return std::string(text);
}

bool ProfileText::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const auto header = findSection(section);
    if (!header) {
        if (!lines_.empty() && !trimmed(lines_.back().text).empty()) {
            lines_.push_back(Line{});
        }
        lines_.push_back(classify("[" + std::string(section) + "]"));
        lines_.push_back(classify(std::string(key) + "=" + std::string(value)));
        return true;
    }
    if (const auto existing = findKey(*header, key)) {
        // Keep the key as the file spells it and any blanks before the value's start.
        auto& text = lines_[*existing].text;
        auto replaced = text.substr(0, text.find('=') + 1) + std::string(value);
        if (replaced == text) {
            return false;
        }
        text = std::move(replaced);
        return true;
    }
    auto insertAt = *header + 1;
    const auto end = sectionEnd(*header);
    for (auto i = insertAt; i < end; ++i) {
        if (!trimmed(lines_[i].text).empty()) {
            insertAt = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  classify(std::string(key) + "=" + std::string(value)));
    return true;
}

bool ProfileText::deleteKey(std::string_view section, std::string_view key) {
    const auto header = findSection(section);
    if (!header) {
        return false;
    }
    const auto line = findKey(*header, key);
    if (!line) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    return true;
}

bool ProfileText::deleteSection(std::string_view section) {
    bool deleted = false;
    while (const auto header = findSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(*header)));
        deleted = true;
    }
    return deleted;
}

std::optional<std::size_t> ProfileText::findSection(std::string_view section) const {
    const auto wanted = trimmed(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::kSection && sameName(sectionName(lines_[i].text), wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t ProfileText::sectionEnd(std::size_t header) const {
    auto i = header + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::kSection) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> ProfileText::findKey(std::size_t header, std::string_view key) const {
    const auto wanted = trimmed(key);
    const auto end = sectionEnd(header);
    for (auto i = header + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::kEntry && sameName(keyName(lines_[i].text), wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace vrx
