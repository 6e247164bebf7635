#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

// The contents of a profile (INI) file held as its lines, so that a change touches one
// line and leaves every other section, entry, comment and blank line as it was.
//
// Reading follows the old profile functions: section and key names are matched without
// regard to letter case and with blanks around them ignored; the first matching section
// and, inside it, the first matching key win. A section line without its closing
// bracket and an entry line without an equals sign are skipped; lines starting with ';'
// are comments. CR LF and LF line ends are both read; the file is written back with the
// line end its first line had (CR LF for a new file).
class ProfileText {
public:
    static ProfileText parse(std::string_view fileBytes);
    std::string render() const;

    // Every section name as written in the file, in file order, repeats included.
    std::vector<std::string> sectionNames() const;
    // The key names of the first matching section as written; nothing when the file has
    // no such section.
    std::optional<std::vector<std::string>> keyNames(std::string_view section) const;
    // The entry's value with the blanks around it removed and one pair of enclosing
    // quotes taken off.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Each returns whether the text changed. A new key goes after the last line of its
    // section; a new section goes at the end of the file.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    bool deleteKey(std::string_view section, std::string_view key);
    bool deleteSection(std::string_view section);  // every section of that name

private:
    enum class LineKind { kOther, kSection, kEntry };
    struct Line {
        std::string text;
        LineKind kind = LineKind::kOther;
    };

    static Line classify(std::string text);
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;  // index of the next section line
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;

    std::vector<Line> lines_;
    std::string lineEnd_ = "\r\n";
};

}  // namespace vrx
