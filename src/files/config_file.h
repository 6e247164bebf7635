#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx {

// A configuration file ("*.vrx") holds one Program Data image as one line of hex text.
constexpr std::size_t kDataLineChars = 779;  // 260 groups joined by single blanks
constexpr std::size_t kConfigFileBytes = 782;

struct NoDataLine {
    bool emptyFile = false;  // nothing but blanks and line ends
};
struct ConversionFailure {
    std::string reason;
    std::size_t line = 0;  // from 1; 0 when the file could not be read at all
};
using ConfigFileContents = std::variant<Bytes, NoDataLine, ConversionFailure>;

// The first line of at least 779 characters (after trimming blanks) holds the image;
// only its first 779 characters count, and they must give exactly the 260 bytes.
ConfigFileContents parseConfigFile(std::string_view fileBytes);
std::string configFileText(ByteView image);  // the 782 bytes a save writes
// Why a file gave no image, in words a user can act on; empty for an image.
std::string refusalReason(const ConfigFileContents& contents);

// Reading and writing on disk. A failed read is a ConversionFailure naming the reason.
ConfigFileContents readConfigFile(const std::filesystem::path& path);
Status writeConfigFile(const std::filesystem::path& path, ByteView image);

// What a failed save tells the user: the error and the file, and when the folder cannot
// take files (missing, or not writable) the folder too, for the user must pick another.
std::string saveFailureText(const std::filesystem::path& path, std::string_view error);

// A chosen save name without a dot in its file name gets ".vrx"; dots in folder names
// do not count.
std::filesystem::path withVrxExtension(const std::filesystem::path& chosen);

}  // namespace vrx
