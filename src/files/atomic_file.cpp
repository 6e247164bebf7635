#include "files/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace vrx {
namespace {

BeforeRenameHook beforeRenameHook = nullptr;

std::filesystem::path temporaryBeside(const std::filesystem::path& path) {
    std::random_device seed;
    auto name = path.filename().string() + ".tmp" + std::to_string(seed() % 1000000);
    return path.parent_path() / ("." + name);
}

std::string systemError(int error) { return std::generic_category().message(error); }

}  // namespace

void setBeforeRenameHookForTesting(BeforeRenameHook hook) { beforeRenameHook = hook; }

Status writeFileAtomically(const std::filesystem::path& path, std::string_view contents) {
    const auto temporary = temporaryBeside(path);
    std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
    if (!file) {
        return Status::failure(systemError(errno));
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    const int writeError = errno;
    const bool flushed = std::fflush(file) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        std::remove(temporary.string().c_str());
        return Status::failure(systemError(!written ? writeError : flushError));
    }
    if (beforeRenameHook) {
        if (auto hooked = beforeRenameHook(temporary); !hooked) {
            std::remove(temporary.string().c_str());
            return hooked;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.string().c_str());
        return Status::failure(error.message());
    }
    return success();
}

Result<std::string> readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Result<std::string>::failure(systemError(errno));
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) {
        return Result<std::string>::failure("read error");
    }
    return contents.str();
}

}  // namespace vrx
