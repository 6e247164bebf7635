#include "files/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "files/platform_files.h"

namespace vrx {
namespace {

BeforeRenameHook beforeRenameHook = nullptr;

std::string systemError(int error) {
    return std::generic_category().message(error);
}

// Writes the bytes under a fresh hidden name beside the target, created exclusively so
// that a leftover of an earlier crash or a second writer is never overwritten.
Status writeTemporaryBeside(const std::filesystem::path& path, std::string_view contents,
                            std::filesystem::path& temporary) {
    constexpr int kAttempts = 16;
    std::random_device seed;
    Status written = Status::failure(systemError(EEXIST));
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::filesystem::path name = ".";
        name += path.filename().native();
        name += ".tmp" + std::to_string(seed() % 1000000);
        temporary = path.parent_path() / name;
        bool alreadyExists = false;
        written = platform::writeNewFileToDisk(temporary, contents, alreadyExists);
        if (written || !alreadyExists) {
            return written;
        }
    }
    return written;
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
    if (auto written = writeTemporaryBeside(path, contents, temporary); !written) {
        return written;
    }
    copyPermissions(path, temporary);
    std::error_code error;
    if (beforeRenameHook) {
        if (auto hooked = beforeRenameHook(temporary); !hooked) {
            std::filesystem::remove(temporary, error);
            return hooked;
        }
    }
    auto replaced = platform::replaceFile(temporary, path);
    if (!replaced) {
        std::filesystem::remove(temporary, error);
    }
    return replaced;
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
