#include "files/config_file.h"

#include "files/atomic_file.h"
#include "files/platform_files.h"
#include "model/program_image.h"
#include "protocol/hex_text.h"
#include "protocol/utf8_path.h"

namespace vrx {
namespace {

std::string_view trimBlanks(std::string_view line) {
    const auto first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

}  // namespace

ConfigFileContents parseConfigFile(std::string_view fileBytes) {
    std::size_t pos = 0;
    std::size_t lineNumber = 0;
    while (pos < fileBytes.size()) {
        // Files come from every kind of editor: CR LF, LF and a lone CR all end a line.
        auto end = fileBytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = fileBytes.size();
        }
        const auto line = fileBytes.substr(pos, end - pos);
        ++lineNumber;
        pos = end + 1;
        if (end < fileBytes.size() && fileBytes[end] == '\r' && pos < fileBytes.size() &&
            fileBytes[pos] == '\n') {
            ++pos;
        }
        const auto first = line.find_first_not_of(' ');
        if (first == std::string_view::npos || trimBlanks(line).size() < kDataLineChars) {
            continue;
        }
        // Only the first 779 characters after the leading blanks count; the text handed
        // on keeps those blanks so a bad group is named by its column in the line.
        auto bytes = hexTextToBytes(line.substr(0, first + kDataLineChars));
        if (!bytes) {
            return ConversionFailure{bytes.error(), lineNumber};
        }
        if (bytes->size() != kImageBytes) {
            return ConversionFailure{"the data line holds " + std::to_string(bytes->size()) +
                                         " bytes instead of " + std::to_string(kImageBytes),
                                     lineNumber};
        }
        return std::move(bytes).value();
    }
    return NoDataLine{fileBytes.find_first_not_of(" \r\n") == std::string_view::npos};
}

std::string refusalReason(const ConfigFileContents& contents) {
    if (const auto* failure = std::get_if<ConversionFailure>(&contents)) {
        return failure->line == 0
                   ? failure->reason
                   : "line " + std::to_string(failure->line) + ": " + failure->reason;
    }
    if (const auto* noData = std::get_if<NoDataLine>(&contents)) {
        return noData->emptyFile
                   ? "the file is empty"
                   : "the file is too short: no line holds the " + std::to_string(kDataLineChars) +
                         " characters of a configuration";
    }
    return {};
}

std::string configFileText(ByteView image) {
    return bytesToHexText(image) + "\r\n";
}

ConfigFileContents readConfigFile(const std::filesystem::path& path) {
    // A configuration is one line of 779 characters; a megabyte leaves room for any
    // comments around it and refuses whatever else was picked by mistake.
    constexpr std::uintmax_t kMaxConfigFileBytes = 1024 * 1024;
    auto contents = readRegularFile(path, kMaxConfigFileBytes);
    if (!contents) {
        return ConversionFailure{contents.error()};
    }
    return parseConfigFile(*contents);
}

Status writeConfigFile(const std::filesystem::path& path, ByteView image) {
    return writeFileAtomically(path, configFileText(image));
}

std::string saveFailureText(const std::filesystem::path& path, std::string_view error) {
    std::string text = std::string(error) + " : " + utf8FromPath(path);
    const auto folder = path.has_parent_path() ? path.parent_path() : ".";
    if (!platform::folderTakesNewFiles(folder)) {
        text += "\nThe folder " + utf8FromPath(folder) + " cannot take the file: choose another.";
    }
    return text;
}

std::filesystem::path withVrxExtension(const std::filesystem::path& chosen) {
    if (chosen.filename().native().find('.') != std::filesystem::path::string_type::npos) {
        return chosen;
    }
    auto named = chosen;
    named += ".vrx";
    return named;
}

}  // namespace vrx
