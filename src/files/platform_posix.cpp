// The files layer on Linux and other POSIX systems.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "files/app_paths.h"
#include "files/platform_files.h"

namespace vrx {
namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

Status errnoFailure(int error) {
    return Status::failure(std::generic_category().message(error));
}

}  // namespace

UserEnvironment readUserEnvironment() {
    return UserEnvironment{environmentValue("HOME"), environmentValue("XDG_CONFIG_HOME"),
                           environmentValue("XDG_DOCUMENTS_DIR")};
}

namespace platform {

std::FILE* openFile(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

Status writeNewFileToDisk(const std::filesystem::path& path, std::string_view contents,
                          bool& alreadyExists) {
    alreadyExists = false;
    std::FILE* file = openFile(path, "wbx");
    if (!file) {
        alreadyExists = errno == EEXIST;
        return errnoFailure(errno);
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    const int writeError = errno;
    // The bytes must be on the disk before a rename makes them the file: otherwise a
    // power cut could leave the name pointing at an empty file.
    const bool flushed = std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    const int closeError = errno;
    if (written && flushed && closed) {
        return success();
    }
    std::remove(path.c_str());
    return errnoFailure(!written ? writeError : !flushed ? flushError : closeError);
}

Status replaceFile(const std::filesystem::path& replacement, const std::filesystem::path& target) {
    std::error_code error;
    std::filesystem::rename(replacement, target, error);
    if (error) {
        return Status::failure(error.message());
    }
    return success();
}

std::tm localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::filesystem::path runningExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

bool folderTakesNewFiles(const std::filesystem::path& folder) {
    std::error_code ignored;
    return std::filesystem::is_directory(folder, ignored) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace platform
}  // namespace vrx
