// The files layer on Windows: every name goes to the system through its wide-character
// functions, so that names beyond ASCII survive whatever the system's code page is.
#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include "files/app_paths.h"
#include "files/platform_files.h"
#include "protocol/utf8_path.h"

namespace vrx {
namespace {

// The same words as on Linux for the failures a user meets, so that a message reads
// alike on both systems; the system's own text for the rest.
std::string windowsErrorText(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return std::generic_category().message(ENOENT);
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return std::generic_category().message(EACCES);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return std::generic_category().message(EBUSY);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::generic_category().message(ENOSPC);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::generic_category().message(EEXIST);
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return std::generic_category().message(EINVAL);
        default:
            break;
    }
    auto text = std::system_category().message(static_cast<int>(code));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

Status lastErrorFailure() {
    return Status::failure(windowsErrorText(GetLastError()));
}

std::string environmentValue(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? utf8FromPath(std::filesystem::path(value)) : std::string();
}

std::string knownFolder(REFKNOWNFOLDERID folder) {
    PWSTR path = nullptr;
    std::string found;
    if (SUCCEEDED(SHGetKnownFolderPath(folder, KF_FLAG_DEFAULT, nullptr, &path))) {
        found = utf8FromPath(std::filesystem::path(path));
    }
    CoTaskMemFree(path);
    return found;
}

HANDLE createNewFile(const std::filesystem::path& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool writeAll(HANDLE file, std::string_view contents) {
    while (!contents.empty()) {
        constexpr std::size_t kMaxChunk = 1 << 30;
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min(contents.size(), kMaxChunk));
        if (!WriteFile(file, contents.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        contents.remove_prefix(written);
    }
    return true;
}

}  // namespace

// Windows has no XDG folders: the roaming application data folder takes the place of
// the configuration folder, and the shell's documents folder that of the documents.
UserEnvironment readUserEnvironment() {
    return UserEnvironment{environmentValue(L"USERPROFILE"), knownFolder(FOLDERID_RoamingAppData),
                           knownFolder(FOLDERID_Documents)};
}

namespace platform {

std::FILE* openFile(const std::filesystem::path& path, const char* mode) {
    const std::string_view text(mode);
    // The C library of Windows knows no "x": an exclusive create goes through
    // CreateFileW, whose handle then becomes a stdio stream.
    if (text.find('x') != std::string_view::npos) {
        HANDLE handle = createNewFile(path);
        if (handle == INVALID_HANDLE_VALUE) {
            errno = GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EACCES;
            return nullptr;
        }
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
        std::FILE* file = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
        if (!file) {
            descriptor < 0 ? CloseHandle(handle) : _close(descriptor);
        }
        return file;
    }
    return _wfopen(path.c_str(), std::filesystem::path(text).c_str());
}

Status writeNewFileToDisk(const std::filesystem::path& path, std::string_view contents,
                          bool& alreadyExists) {
    alreadyExists = false;
    HANDLE file = createNewFile(path);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        alreadyExists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        return Status::failure(windowsErrorText(error));
    }
    // The bytes must be on the disk before the file takes the target's place:
    // otherwise a power cut could leave the name holding an empty file.
    const bool done = writeAll(file, contents) && FlushFileBuffers(file);
    const DWORD error = GetLastError();
    const bool closed = CloseHandle(file);
    if (done && closed) {
        return success();
    }
    DeleteFileW(path.c_str());
    return Status::failure(windowsErrorText(done ? GetLastError() : error));
}

Status replaceFile(const std::filesystem::path& replacement, const std::filesystem::path& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    // Moving over a folder must fail, as a rename does elsewhere: Wine lets it replace
    // a folder and everything in it.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Status::failure(std::generic_category().message(EISDIR));
    }
    // ReplaceFileW keeps what the old file had besides its bytes (attributes, access
    // rights, creation time). It needs an existing target and full paths (Wine refuses
    // relative ones), and fails on some file systems, where moving over the target is
    // the next best.
    std::error_code error;
    const auto fullTarget = std::filesystem::absolute(target, error);
    const auto fullReplacement = std::filesystem::absolute(replacement, error);
    if (attributes != INVALID_FILE_ATTRIBUTES && !error &&
        ReplaceFileW(fullTarget.c_str(), fullReplacement.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return success();
    }
    if (MoveFileExW(replacement.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return success();
    }
    return lastErrorFailure();
}

std::tm localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

std::filesystem::path runningExecutableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

// Windows keeps who may write in access lists that only an attempt reads reliably: a
// folder that exists and is not read-only is taken to take the file.
bool folderTakesNewFiles(const std::filesystem::path& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

}  // namespace platform
}  // namespace vrx
