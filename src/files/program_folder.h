#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx {

// A backup keeps each program of a unit in a folder of its own as program-NNN.vrx
// (NNN its number from 1, three digits), a configuration file like any other.
std::filesystem::path programFileName(const std::filesystem::path& folder, int programNumber);

// Saves a program read from the unit exactly as the unit sent it (a backup is a copy of
// the unit, filler bytes and all), in one atomic write. `programData` is the 256 bytes
// the unit sent.
Status saveProgramFile(const std::filesystem::path& folder, int programNumber,
                       ByteView programData);

// A program file found in a folder, read: its image, or why it cannot be used.
struct ProgramFile {
    int programNumber = 0;
    std::filesystem::path path;
    Bytes image;        // the 260 bytes, empty when the file is unusable
    std::string error;  // why it is unusable
};

// The program-NNN.vrx files of a folder, by number; other files are left alone.
std::vector<ProgramFile> readProgramFolder(const std::filesystem::path& folder);

// Why a folder cannot be restored into a unit with `highestProgram` programs (at most
// the 8192 a request can address), one line each naming the files: a number beyond
// them, or two files for one number ("program-001.vrx and program-0001.vrx").
std::vector<std::string> programFolderProblems(const std::vector<ProgramFile>& files,
                                               int highestProgram);

// The program files a folder already holds, by name; empty when it holds none or
// does not exist.
std::vector<std::string> programFileNames(const std::filesystem::path& folder);

// A backup is written as a set: its files go into a fresh folder beside the target,
// and only commit() puts them in the target's place, with the target's other files.
// A backup that fails or is dropped before then leaves the previous one whole.
class BackupFolder {
public:
    explicit BackupFolder(std::filesystem::path target);
    ~BackupFolder();
    BackupFolder(const BackupFolder&) = delete;
    BackupFolder& operator=(const BackupFolder&) = delete;

    // Makes the folder the files are gathered in.
    Status begin();
    Status save(int programNumber, ByteView programData);
    // Replaces the target's program files with the new ones.
    Status commit();
    const std::filesystem::path& target() const { return target_; }

private:
    std::filesystem::path target_;
    std::filesystem::path staging_;
    bool committed_ = false;
};

}  // namespace vrx
