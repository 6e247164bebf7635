#include "files/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define VRX_HAVE_FSYNC 1
#endif

namespace vrx {
namespace {

BeforeRenameHook beforeRenameHook = nullptr;

std::string systemError(int error) {
    return std::generic_category().message(error);
}

// A fresh hidden name beside the target, created exclusively so that a leftover of an
// earlier crash or a second writer is never overwritten.
std::FILE* createTemporaryBeside(const std::filesystem::path& path,
                                 std::filesystem::path& temporary, int& error) {
    constexpr int kAttempts = 16;
    std::random_device seed;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temporary = path.parent_path() /
                    ("." + path.filename().string() + ".tmp" + std::to_string(seed() % 1000000));
        if (std::FILE* file = std::fopen(temporary.string().c_str(), "wbx")) {
            return file;
        }
        error = errno;
        if (error != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

// The bytes must be on the disk before the rename makes them the file: otherwise a power
// cut could leave the new name pointing at an empty file.
bool syncToDisk(std::FILE* file) {
#ifdef VRX_HAVE_FSYNC
    return ::fsync(::fileno(file)) == 0;
#else
    (void)file;
    return true;
#endif
}

// A replaced file keeps who may read and write it.
void copyPermissions(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    const auto status = std::filesystem::status(from, error);
    if (!error && std::filesystem::is_regular_file(status)) {
        std::filesystem::permissions(to, status.permissions(), error);
    }
}

// The file a chain of symbolic links ends at, even when it does not exist yet. Saving
// through a link must replace that file, not the link.
std::filesystem::path followLinks(std::filesystem::path path) {
    constexpr int kMaxLinkHops = 40;  // as the kernel allows before ELOOP
    std::error_code error;
    for (int hop = 0; hop < kMaxLinkHops && std::filesystem::is_symlink(path, error); ++hop) {
        const auto target = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

}  // namespace

void setBeforeRenameHookForTesting(BeforeRenameHook hook) {
    beforeRenameHook = hook;
}

Status writeFileAtomically(const std::filesystem::path& chosen, std::string_view contents) {
    const auto path = followLinks(chosen);
    std::filesystem::path temporary;
    int openError = 0;
    std::FILE* file = createTemporaryBeside(path, temporary, openError);
    if (!file) {
        return Status::failure(systemError(openError));
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    const int writeError = errno;
    const bool flushed = std::fflush(file) == 0 && syncToDisk(file);
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    const int closeError = errno;
    if (!written || !flushed || !closed) {
        std::remove(temporary.string().c_str());
        return Status::failure(systemError(!written   ? writeError
                                           : !flushed ? flushError
                                                      : closeError));
    }
    copyPermissions(path, temporary);
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
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return Result<std::string>::failure(systemError(EISDIR));
    }
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

Result<std::string> readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        return Result<std::string>::failure(error.message());
    }
    if (!std::filesystem::is_regular_file(status)) {
        return Result<std::string>::failure("not a regular file");
    }
    if (std::filesystem::file_size(path, error) > maxBytes || error) {
        return Result<std::string>::failure(error ? error.message() : "file too large");
    }
    auto contents = readWholeFile(path);
    // It may have grown between the look and the read.
    if (contents && contents->size() > maxBytes) {
        return Result<std::string>::failure("file too large");
    }
    return contents;
}

}  // namespace vrx
