#include "files/log_file.h"

#include <array>
#include <cstdio>

#include "files/platform_files.h"

namespace vrx {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string formatTime(const char* format, const std::tm& localTime) {
    std::array<char, 128> buffer{};
    const auto length = std::strftime(buffer.data(), buffer.size(), format, &localTime);
    return std::string(buffer.data(), length);
}

}  // namespace

void LogFile::writeLog(std::string_view line) const {
    if (!enabled_) {
        return;
    }
    std::FILE* log = platform::openFile(file_, "ab");
    if (!log) {
        return;
    }
    std::fwrite(line.data(), 1, line.size(), log);
    std::fwrite(kLineEnd.data(), 1, kLineEnd.size(), log);
    std::fclose(log);
}

std::string logStartLine(const std::tm& localTime) {
    return std::string(kLogStartPrefix) + formatTime("%x", localTime) + " " +
           formatTime("%X", localTime);
}

}  // namespace vrx
